// GNOME Shell 45 and later: an ES module.
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import Meta from 'gi://Meta';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

/* @WINDOWS@ */

export default class TamberlynExtension extends Extension {
    enable() {
        this._windows = new TamberlynWindows(this.metadata.dir);
        this._windows.enable();
    }

    disable() {
        this._windows.disable();
        this._windows = null;
    }
}
