// Reports the application in front to the Tolvar program on the session
// bus, each time the focus moves to another window.
const { Gio, GLib, Shell } = imports.gi;

class TolvarFocusReporter {
  enable() {
    this._tracker = Shell.WindowTracker.get_default();
    this._handler = global.display.connect('notify::focus-window', () => this._report());
    this._report();
  }

  disable() {
    if (this._handler) global.display.disconnect(this._handler);
    this._handler = null;
    this._tracker = null;
  }

  _report() {
    const window = global.display.focus_window;
    if (!window) return;
    const app = this._tracker.get_window_app(window);
    const appId = (app && app.get_id()) || window.get_gtk_application_id() || '';
    Gio.DBus.session.call('org.tolvar.tolvar', '/org/tolvar/tolvar', 'org.tolvar.Tolvar1', 'WindowActivated',
        new GLib.Variant('(sss)', [window.get_wm_class() || '', window.get_wm_class_instance() || '', appId]),
        null, Gio.DBusCallFlags.NO_AUTO_START, 1000, null, null);
  }
}

function init() {
  return new TolvarFocusReporter();
}
