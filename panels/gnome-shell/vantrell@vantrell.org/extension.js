// SPDX-License-Identifier: GPL-3.0-or-later
//
// The price of the coin Vantrell shows, as a label in the top bar. What it
// shows comes decided from the view the widget host keeps for it (text,
// colours, tooltip lines, stale or not), replaced only when one of those
// changes; the menu shows the watchlist from the snapshot files when it
// opens. This file only puts those texts on the screen. A click opens the
// program's price list.
'use strict';

const {Clutter, Gio, GLib, GObject, St} = imports.gi;
const Main = imports.ui.main;
const PanelMenu = imports.ui.panelMenu;
const PopupMenu = imports.ui.popupMenu;

const APP_ID = 'org.vantrell.Vantrell';
const APP_PATH = '/org/vantrell/Vantrell';
const LINK = 'vantrell://popover';
// Owned while the label is shown: the program keeps its tray item out of the
// panel meanwhile.
const PANEL_NAME = 'org.vantrell.PanelFrontEnd';
const SNAPSHOT_DIR = GLib.build_filenamev([GLib.get_user_cache_dir(), 'vantrell']);
// The program's file, and the one the widget host keeps beside it with its
// own prices while the program does not run.
const SNAPSHOT_FILES = ['widget-snapshot.json', 'panel-snapshot.json'];
// The view of the coin the program shows, kept by the widget host this
// extension starts.
const VIEW_DIR = GLib.build_filenamev([SNAPSHOT_DIR, 'panel']);
const VIEW_FILE = GLib.build_filenamev([VIEW_DIR, 'shown.json']);
const NO_VIEW = {text: '\u2014', change: '', colorOnDark: '', toolTipTitle: 'Vantrell', toolTip: '', stale: true};

function readJson(bytes) {
    try {
        const value = JSON.parse(new TextDecoder().decode(bytes));
        return value && typeof value === 'object' ? value : null;
    } catch (e) {
        return null;
    }
}

// The snapshot of either file that goes stale later, read when the menu opens.
function readLaterSnapshot() {
    let later = null;
    for (const name of SNAPSHOT_FILES) {
        let snapshot = null;
        try {
            const [, contents] = Gio.File.new_for_path(GLib.build_filenamev([SNAPSHOT_DIR, name])).load_contents(null);
            snapshot = readJson(contents);
        } catch (e) {
        }
        if (snapshot && (!later || snapshot.panelStaleAt > later.panelStaleAt))
            later = snapshot;
    }
    return later;
}

// The program's price list: Open of the link on the running instance, or a
// start of the program with the link when none runs.
function openPriceList() {
    Gio.DBus.session.call(APP_ID, APP_PATH, 'org.freedesktop.Application', 'Open',
        new GLib.Variant('(asa{sv})', [[LINK], {}]), null, Gio.DBusCallFlags.NONE, 5000, null,
        (connection, result) => {
            try {
                connection.call_finish(result);
            } catch (e) {
                const app = Gio.DesktopAppInfo.new(`${APP_ID}.desktop`);
                try {
                    if (app)
                        app.launch_uris([LINK], global.create_app_launch_context(0, -1));
                    else
                        GLib.spawn_async(null, ['vantrell', LINK], null, GLib.SpawnFlags.SEARCH_PATH, null);
                } catch (launchError) {
                    logError(launchError, 'Vantrell: cannot start the program');
                }
            }
        });
}

// The menu's lines: the title of the shown coin (the view's tooltip), then the watchlist.
function menuLines(view, snapshot) {
    const stale = view.stale;
    const quotes = snapshot && snapshot.quotes ? snapshot.quotes : {};
    const title = view.toolTip;
    const coins = [];
    for (const id of snapshot && Array.isArray(snapshot.watchlist) ? snapshot.watchlist : []) {
        const quote = quotes[id];
        if (quote && quote.panel)
            coins.push((stale ? quote.panel.staleText : `${quote.panel.text}  ${quote.panel.change}`).trim());
    }
    return {title, coins};
}

const PriceButton = GObject.registerClass(
class PriceButton extends PanelMenu.Button {
    _init() {
        super._init(0.5, 'Vantrell', false);
        this._label = new St.Label({
            text: '\u2014',
            y_align: Clutter.ActorAlign.CENTER,
            style_class: 'vantrell-price',
        });
        this.add_child(this._label);
        // The button is what a screen reader reaches; the label labels it
        // (its name follows the texts in _show).
        this.label_actor = this._label;
        this._view = NO_VIEW;
        this._cancellable = new Gio.Cancellable();

        // The host renames each new view over the old one: watch for that,
        // not for writes.
        GLib.mkdir_with_parents(VIEW_DIR, 0o700);
        this._file = Gio.File.new_for_path(VIEW_FILE);
        this._monitor = this._file.monitor_file(Gio.FileMonitorFlags.WATCH_MOVES, null);
        this._monitor.connect('changed', (m, changed, otherFile, event) => {
            if (event !== Gio.FileMonitorEvent.CHANGED) // CHANGES_DONE_HINT follows a write
                this._load();
        });
        // A menu without items does not open: it starts with the way to the list.
        this._fillMenu();
        this._load();
    }

    // A left click opens the price list; other buttons the watchlist menu.
    vfunc_event(event) {
        const type = event.type();
        if ((type === Clutter.EventType.BUTTON_PRESS && event.get_button() === Clutter.BUTTON_PRIMARY) ||
            type === Clutter.EventType.TOUCH_BEGIN) {
            this.menu.close();
            openPriceList();
            return Clutter.EVENT_STOP;
        }
        return super.vfunc_event(event);
    }

    _load() {
        this._file.load_contents_async(this._cancellable, (file, result) => {
            let view = null;
            try {
                const [, contents] = file.load_contents_finish(result);
                view = readJson(contents);
            } catch (e) {
                if (e.matches(Gio.IOErrorEnum, Gio.IOErrorEnum.CANCELLED))
                    return;
            }
            this._show(view || NO_VIEW);
        });
    }

    _show(view) {
        this._view = view;
        // Only what changed is set again: each change costs the shell a
        // relayout and a repaint of the bar.
        const text = String(view.text);
        if (this._label.text !== text)
            this._label.text = text;
        // Heard as the coin's name, price, change and time rather than the
        // symbol and a bare number; the menu's title shows the same lines.
        const name = view.toolTip ? String(view.toolTip).split('\n').join(', ') : String(view.toolTipTitle);
        if (this.accessible_name !== name)
            this.accessible_name = name;
        // The top bar is dark in light mode too.
        const style = !view.stale && view.colorOnDark ? `color: ${view.colorOnDark};` : null;
        if (this._label.get_style() !== style)
            this._label.set_style(style);
        if (Boolean(view.stale) !== this._label.has_style_class_name('vantrell-stale')) {
            if (view.stale)
                this._label.add_style_class_name('vantrell-stale');
            else
                this._label.remove_style_class_name('vantrell-stale');
        }
        if (this.menu.isOpen)
            this._fillMenu();
    }

    // Built when it opens (and again while open when its lines change), not
    // on every replacement of the file.
    _onOpenStateChanged(menu, open) {
        if (open)
            this._fillMenu();
        return super._onOpenStateChanged(menu, open);
    }

    _fillMenu() {
        const lines = menuLines(this._view, readLaterSnapshot());
        const key = JSON.stringify(lines);
        if (key === this._menuKey)
            return;
        this._menuKey = key;
        this.menu.removeAll();
        if (lines.title) {
            const title = new PopupMenu.PopupMenuItem(lines.title);
            title.setSensitive(false);
            this.menu.addMenuItem(title);
            this.menu.addMenuItem(new PopupMenu.PopupSeparatorMenuItem());
        }
        for (const text of lines.coins) {
            const item = new PopupMenu.PopupMenuItem(text);
            item.connect('activate', () => openPriceList());
            this.menu.addMenuItem(item);
        }
        const open = new PopupMenu.PopupMenuItem('Vantrell');
        open.connect('activate', () => openPriceList());
        this.menu.addMenuItem(open);
    }

    destroy() {
        this._cancellable.cancel();
        this._monitor.cancel();
        super.destroy();
    }
});

class Extension {
    enable() {
        this._button = new PriceButton();
        Main.panel.addToStatusArea('vantrell-price', this._button, 0, 'right');
        this._nameId = Gio.bus_own_name(Gio.BusType.SESSION, PANEL_NAME, Gio.BusNameOwnerFlags.NONE,
            null, null, null);
        // The widget host keeps the panel's own prices while the program does
        // not run; it lives as long as its stdin stays open: one process for
        // as long as the label is shown.
        try {
            this._host = Gio.Subprocess.new(['vantrell-widget-host', '--panel-presence', '--view', 'json'],
                Gio.SubprocessFlags.STDIN_PIPE);
        } catch (e) {
            this._host = null;
            logError(e, 'Vantrell: no widget host, the label shows the program\'s prices only');
        }
    }

    disable() {
        if (this._host) {
            this._host.get_stdin_pipe().close(null);
            this._host = null;
        }
        if (this._nameId)
            Gio.bus_unown_name(this._nameId);
        this._nameId = 0;
        this._button.destroy();
        this._button = null;
    }
}

function init() {
    return new Extension();
}
