// The shell's windows on the session bus, for the installed Tamberlyn alone. Shared by both
// entry points; each brings Gio, GLib and Meta into scope its own way.

const BUS_NAME = 'example.quillmark.Tamberlyn.Shell';
const OBJECT_PATH = '/example/quillmark/Tamberlyn/Shell';
const INTERFACE = 'example.quillmark.Tamberlyn.Windows1';
const REFUSED = 'example.quillmark.Tamberlyn.Error.AccessDenied';
const INTERFACE_XML = `<node><interface name="${INTERFACE}">
  <method name="List"><arg type="a(tsuts)" direction="out" name="windows"/></method>
  <method name="Close"><arg type="t" direction="in" name="id"/></method>
  <signal name="Added"><arg type="(tsuts)" name="window"/></signal>
  <signal name="Removed"><arg type="t" name="id"/></signal>
  <signal name="Changed"><arg type="(tsuts)" name="window"/></signal>
</interface></node>`;

class TamberlynWindows {
    // extensionDir holds "program": the one executable, by absolute path, allowed to call.
    constructor(extensionDir) {
        this._dir = extensionDir;
    }

    enable() {
        this._program = this._readProgram();
        this._allowed = new Map();  // unique name -> its watch, once checked
        this._listening = new Set();  // allowed callers that listed: they get the signals
        this._windows = new Map();  // Meta.Window -> its signal ids
        this._bus = Gio.DBus.session;
        this._object = Gio.DBusExportedObject.wrapJSObject(INTERFACE_XML, this);
        this._object.export(this._bus, OBJECT_PATH);
        this._nameId = Gio.bus_own_name_on_connection(this._bus, BUS_NAME, Gio.BusNameOwnerFlags.NONE, null, null);
        this._createdId = global.display.connect('window-created', (display, window) => this._track(window, true));
        for (const window of global.display.list_all_windows()) this._track(window, false);
    }

    disable() {
        global.display.disconnect(this._createdId);
        for (const window of [...this._windows.keys()]) this._untrack(window);
        for (const watch of this._allowed.values()) Gio.bus_unwatch_name(watch);
        Gio.bus_unown_name(this._nameId);
        this._object.unexport();
        this._object = null;
        this._bus = null;
    }

    _readProgram() {
        try {
            const [, bytes] = this._dir.get_child('program').load_contents(null);
            const path = new TextDecoder().decode(bytes).trim();
            return path.startsWith('/') ? path : null;
        } catch (e) {
            return null;  // nobody may call
        }
    }

    _track(window, announce) {
        if (window.is_override_redirect() || this._windows.has(window)) return;
        const changed = () => this._emit('Changed', new GLib.Variant('((tsuts))', [this._describe(window)]));
        const ids = [
            window.connect('notify::title', changed),
            // A Wayland window names its parent with its first content, after window-created.
            window.connect('shown', changed),
            window.connect('unmanaged', () => {
                const id = window.get_id();
                this._untrack(window);
                this._emit('Removed', new GLib.Variant('(t)', [id]));
            }),
        ];
        this._windows.set(window, ids);
        if (announce) this._emit('Added', new GLib.Variant('((tsuts))', [this._describe(window)]));
    }

    _untrack(window) {
        for (const id of this._windows.get(window) ?? []) window.disconnect(id);
        this._windows.delete(window);
    }

    _describe(window) {
        const parent = window.get_transient_for();
        const kind = window.get_client_type() === Meta.WindowClientType.X11 ? 'x11' : 'wayland';
        return [window.get_id(), window.get_title() ?? '', Math.max(window.get_pid(), 0), parent ? parent.get_id() : 0, kind];
    }

    // Signals go to the listening callers only: titles are not the whole session's business.
    _emit(name, parameters) {
        for (const caller of this._listening) this._bus.emit_signal(caller, OBJECT_PATH, INTERFACE, name, parameters);
    }

    // Calls then(sender) when the caller runs the program named in "program"; else refuses.
    // The bus daemon vouches for the caller's pid; the kernel for its executable.
    _check(invocation, then) {
        const sender = invocation.get_sender();
        if (this._allowed.has(sender)) {
            then(sender);
            return;
        }
        this._bus.call('org.freedesktop.DBus', '/org/freedesktop/DBus', 'org.freedesktop.DBus',
            'GetConnectionUnixProcessID', new GLib.Variant('(s)', [sender]), new GLib.VariantType('(u)'),
            Gio.DBusCallFlags.NONE, -1, null, (bus, result) => {
                let exe = null;
                try {
                    const [pid] = bus.call_finish(result).deep_unpack();
                    exe = GLib.file_read_link(`/proc/${pid}/exe`);
                } catch (e) {
                    exe = null;
                }
                if (this._bus === null) return;  // disabled meanwhile
                if (this._program === null || exe !== this._program) {
                    invocation.return_dbus_error(REFUSED, `Only ${this._program ?? 'the installed Tamberlyn'} may ` +
                        `see and close windows through this extension, not ${exe ?? 'an unknown program'}.`);
                    return;
                }
                // Unique names are never reused: the check holds until this one goes.
                this._allowed.set(sender, Gio.bus_watch_name_on_connection(this._bus, sender,
                    Gio.BusNameWatcherFlags.NONE, null, () => this._forget(sender)));
                then(sender);
            });
    }

    _forget(sender) {
        Gio.bus_unwatch_name(this._allowed.get(sender));
        this._allowed.delete(sender);
        this._listening.delete(sender);
    }

    ListAsync(parameters, invocation) {
        this._check(invocation, sender => {
            this._listening.add(sender);
            const windows = [...this._windows.keys()].map(w => this._describe(w));
            invocation.return_value(new GLib.Variant('(a(tsuts))', [windows]));
        });
    }

    CloseAsync([id], invocation) {
        this._check(invocation, () => {
            const window = [...this._windows.keys()].find(w => w.get_id() === id);
            // As its own close button does: the program may ask its user first.
            if (window) window.delete(global.get_current_time());
            invocation.return_value(null);
        });
    }
}
