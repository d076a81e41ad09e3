// GNOME Shell 43 and 44: a script loaded by the shell's legacy importer.
const {Gio, GLib, Meta} = imports.gi;
const ExtensionUtils = imports.misc.extensionUtils;

/* @WINDOWS@ */

function init() {
    return new TamberlynWindows(ExtensionUtils.getCurrentExtension().dir);
}
