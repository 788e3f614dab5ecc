// Loaded by the program over KWin's scripting interface: reports every
// window that comes to the front to the program on the session bus.
function tolvarReport(window) {
  if (!window) return;
  callDBus("org.tolvar.tolvar", "/org/tolvar/tolvar", "org.tolvar.Tolvar1", "WindowActivated",
           String(window.resourceClass || ""), String(window.resourceName || ""),
           String(window.desktopFileName || ""));
}
if (workspace.windowActivated) {
  workspace.windowActivated.connect(tolvarReport);  // Plasma 6
  tolvarReport(workspace.activeWindow);
} else {
  workspace.clientActivated.connect(tolvarReport);  // Plasma 5
  tolvarReport(workspace.activeClient);
}
