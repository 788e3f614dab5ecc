// Runs the two focus scripts of the package under node with stand-ins for
// what KWin and GNOME Shell give them: each must parse, and each must call
// WindowActivated on the program's bus name with the window's class, its
// instance name and its application id when the focus moves.
'use strict';
const assert = require('assert');
const fs = require('fs');
const path = require('path');
const vm = require('vm');

const packaging = process.argv[2];
const expectedTarget = ['org.tolvar.tolvar', '/org/tolvar/tolvar', 'org.tolvar.Tolvar1', 'WindowActivated'];

function load(file, context) {
  const source = fs.readFileSync(path.join(packaging, file), 'utf8');
  new vm.Script(source, {filename: file});  // syntax
  vm.createContext(context);
  vm.runInContext(source, context, {filename: file});
  return context;
}

function signal() {
  const handlers = [];
  return {connect: (handler) => handlers.push(handler), emit: (value) => handlers.forEach((h) => h(value))};
}

// KWin, Plasma 6 and Plasma 5 names.
for (const plasma of [6, 5]) {
  const calls = [];
  const activated = signal();
  const first = {resourceClass: 'Konsole', resourceName: 'konsole', desktopFileName: 'org.kde.konsole'};
  const workspace = plasma === 6 ? {windowActivated: activated, activeWindow: first}
                                 : {clientActivated: activated, activeClient: first};
  load('kwin/tolvar-focus.js', {workspace, callDBus: (...args) => calls.push(args)});
  activated.emit({resourceClass: 'firefox', resourceName: 'Navigator', desktopFileName: ''});
  activated.emit(null);  // no window in front
  assert.deepStrictEqual(calls, [
    [...expectedTarget, 'Konsole', 'konsole', 'org.kde.konsole'],
    [...expectedTarget, 'firefox', 'Navigator', ''],
  ], `Plasma ${plasma}`);
}

// GNOME Shell (the legacy extension format of GNOME 42 to 44).
{
  const calls = [];
  const focusChanged = signal();
  const windowOf = (cls, instance, gtkId) => ({
    get_wm_class: () => cls,
    get_wm_class_instance: () => instance,
    get_gtk_application_id: () => gtkId,
    app: null,
  });
  const display = {
    focus_window: windowOf('Gnome-terminal', 'gnome-terminal-server', null),
    connect: (name, handler) => {
      assert.strictEqual(name, 'notify::focus-window');
      focusChanged.connect(handler);
      return 7;
    },
    disconnect: (id) => assert.strictEqual(id, 7),
  };
  display.focus_window.app = {get_id: () => 'org.gnome.Terminal.desktop'};
  const imports = {
    gi: {
      GLib: {Variant: function(signature, values) { this.signature = signature; this.values = values; }},
      Gio: {
        DBusCallFlags: {NO_AUTO_START: 1},
        DBus: {session: {call: (...args) => calls.push(args)}},
      },
      Shell: {WindowTracker: {get_default: () => ({get_window_app: (w) => w.app})}},
    },
  };
  const context = load('gnome-shell/tolvar-focus@tolvar.org/extension.js', {imports, global: {display}});
  const extension = vm.runInContext('init()', context);
  extension.enable();
  display.focus_window = windowOf('firefox', 'Navigator', 'org.mozilla.firefox');
  focusChanged.emit();
  display.focus_window = null;
  focusChanged.emit();
  extension.disable();

  assert.strictEqual(calls.length, 2);
  for (const call of calls) {
    assert.deepStrictEqual(call.slice(0, 4), expectedTarget);
    assert.strictEqual(call[4].signature, '(sss)');
    assert.strictEqual(call[5], null, 'no reply type');
    assert.strictEqual(call[6], 1, 'no auto start');
    assert.ok(call[7] > 0, 'a timeout');
  }
  assert.deepStrictEqual(Array.from(calls[0][4].values), ['Gnome-terminal', 'gnome-terminal-server', 'org.gnome.Terminal.desktop']);
  assert.deepStrictEqual(Array.from(calls[1][4].values), ['firefox', 'Navigator', 'org.mozilla.firefox']);
  const metadata = JSON.parse(fs.readFileSync(path.join(packaging, 'gnome-shell/tolvar-focus@tolvar.org/metadata.json')));
  assert.strictEqual(metadata.uuid, 'tolvar-focus@tolvar.org');
  assert.ok(metadata['shell-version'].includes('43'), 'Debian 12 has GNOME Shell 43');
}
console.log('focus scripts: ok');
