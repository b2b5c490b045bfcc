// The page: the session's grid, files, text forms, report and radio commands over the core's module.
// Every rule, text and message comes from the core; this script only presents them.
"use strict";

const Rt62Page = (() => {
    let M = null;      // the page's core module
    let doc = null;    // its PageSession
    let worker = null; // the transfer worker
    let link = null;
    let grantedPorts = [];
    const $ = (id) => document.getElementById(id);
    const text = (id, args = []) => M.message(id, args);
    // A command's short name: the part of its prompt after the line break.
    const label = (id) => { const t = text(id); return t.includes("\n") ? t.slice(t.indexOf("\n") + 1) : t; };
    const hasSerial = () => "serial" in navigator;
    const kTransfer = { upload: 0, download: 1, verify: 2 }; // TransferKind
    const kStatusCompleted = 0;

    // ---- messages: the window's message box as a dialog ----
    const kButtons = [[4806], [4806, 4807], [4808, 4809], [4808, 4809, 4807]]; // Buttons enum order
    const kAnswerOf = { 4806: 0, 4807: 1, 4808: 2, 4809: 3 };                  // Answer enum values
    let dialogQueue = Promise.resolve();
    function showMessage(messageText, buttons = 0) {
        const shown = dialogQueue.then(() => new Promise(resolve => {
            const dialog = $("message");
            $("message-text").textContent = messageText;
            const box = $("message-buttons");
            box.textContent = "";
            for (const id of kButtons[buttons]) {
                const b = document.createElement("button");
                b.type = "button";
                b.textContent = label(id);
                b.onclick = () => { dialog.close(); resolve(kAnswerOf[id]); };
                box.appendChild(b);
            }
            dialog.oncancel = (e) => { e.preventDefault(); };
            dialog.showModal();
            dialog.dataset.shown = String(Number(dialog.dataset.shown || 0) + 1);
            box.firstChild.focus();
        }));
        dialogQueue = shown.catch(() => {});
        return shown;
    }
    async function showAll(messages) { for (const m of messages || []) await showMessage(m); }

    // A session call that may ask something: asked on the page, then the call runs again with the
    // answers so far (the core stops at the first question it has no answer for).
    async function ask(call) {
        const answers = [];
        for (;;) {
            const r = call(answers);
            if (!r.question) {
                await showAll(r.messages);
                await deliver(r.saved);
                return r;
            }
            answers.push(await showMessage(r.question.text, r.question.buttons));
        }
    }

    // A short tone where the window beeps, and the same said to a screen reader's user.
    function beep() {
        try {
            const a = new AudioContext(), o = a.createOscillator();
            o.connect(a.destination);
            o.start();
            o.stop(a.currentTime + 0.08);
        } catch (e) { /* no sound here */ }
        document.body.dataset.beeps = String(Number(document.body.dataset.beeps || 0) + 1);
    }

    // ---- the grid ----
    let cur = { r: 0, c: 0 };
    let marks = new Set(); // "n,column" of cells a comparison found different
    const items = (() => {
        try { const v = JSON.parse(localStorage.getItem("rt62m.items")); if (Array.isArray(v)) return v; } catch (e) {}
        return null;
    })() || [];

    function cellOf(r, c) { return $("grid").tBodies[0].rows[r].cells[c]; }
    function buildGrid() {
        const grid = $("grid");
        grid.setAttribute("aria-label", text(4400));
        grid.textContent = "";
        const head = grid.createTHead();
        for (let row = 0; row < 2; ++row) {
            const tr = head.insertRow();
            for (let c = 0; c < M.columnCount; ++c) {
                const th = document.createElement("th");
                th.textContent = M.headerText(row, c);
                th.setAttribute("aria-label", M.columnHeaderSpeech(c));
                th.scope = "col";
                tr.appendChild(th);
            }
        }
        const body = grid.createTBody();
        for (let n = 0; n < M.channelCount; ++n) {
            const tr = body.insertRow();
            for (let c = 0; c < M.columnCount; ++c) tr.insertCell().tabIndex = -1;
        }
        grid.hidden = false;
        $("loading").hidden = true;
        applyVisible();
    }
    function refresh() {
        for (let n = 0; n < M.channelCount; ++n) {
            const unused = !doc.inUse(n);
            for (let c = 0; c < M.columnCount; ++c) {
                const td = cellOf(n, c);
                if (td.querySelector("input")) continue;
                td.textContent = doc.cellText(n, c);
                td.setAttribute("aria-label", doc.cellSpeech(n, c));
                td.classList.toggle("unused", unused);
                td.classList.toggle("differs", marks.has(n + "," + c));
                td.tabIndex = n === cur.r && c === cur.c ? 0 : -1;
            }
        }
        const title = doc.title() + (doc.modified() ? " *" : "");
        $("title").textContent = title;
        // In service mode the page is named as the window is then.
        document.title = title + " - " + (doc.serviceMode() ? text(128).split("\n")[0] : "RT62MWin");
        for (const [id, name, entry] of [["cmd-undo", doc.undoName(), 4200], ["cmd-redo", doc.redoName(), 4201]]) {
            const b = $(id);
            b.disabled = !name;
            b.title = name ? text(entry, [name]).replace("&", "") : "";
        }
    }
    function focusCell(r, c) {
        cellOf(cur.r, cur.c).tabIndex = -1;
        cur = { r, c };
        const td = cellOf(r, c);
        td.tabIndex = 0;
        td.focus();
    }

    // Column items the user hid (an item counts as shown only when its value is exactly 1).
    function itemValues() { return Array.from({ length: M.columnItemCount }, (_, i) => items[i] === undefined ? 1 : items[i]); }
    function applyVisible() {
        const values = itemValues();
        const hidden = new Set();
        values.forEach((v, i) => { if (v !== 1) for (const c of M.columnsOfItem(i)) hidden.add(c); });
        for (const row of $("grid").rows)
            [...row.cells].forEach((cell, c) => { cell.hidden = hidden.has(c); });
    }
    function showVisible() {
        const box = $("visible-items");
        box.textContent = "";
        itemValues().forEach((v, i) => {
            const l = document.createElement("label");
            const cb = document.createElement("input");
            cb.type = "checkbox";
            cb.checked = v === 1;
            cb.onchange = () => {
                items.length = M.columnItemCount;
                Object.assign(items, itemValues());
                items[i] = cb.checked ? 1 : 0;
                localStorage.setItem("rt62m.items", JSON.stringify(items));
                applyVisible();
            };
            l.append(cb, " " + M.columnItemName(i));
            box.appendChild(l);
        });
        $("visible").showModal();
    }

    // A pick list as the window's list dialogs: resolves to the chosen position, -1 when cancelled.
    function pickList(pick) {
        return new Promise(resolve => {
            const dialog = $("pick"), list = $("pick-list");
            $("pick-title").textContent = pick.title;
            list.textContent = "";
            pick.items.forEach((t, i) => list.add(new Option(t, String(i))));
            list.selectedIndex = pick.selected;
            const done = (pos) => { dialog.close(); resolve(pos); };
            $("pick-ok").onclick = () => done(list.selectedIndex);
            $("pick-cancel").onclick = () => done(-1);
            list.ondblclick = () => done(list.selectedIndex);
            list.onkeydown = (e) => { if (e.key === "Enter") { e.preventDefault(); done(list.selectedIndex); } };
            dialog.oncancel = (e) => { e.preventDefault(); done(-1); };
            dialog.showModal();
            list.focus();
        });
    }

    // Space, Enter on a tone and F3 on the current cell.
    async function cellAction(kind) {
        const { r, c } = cur;
        let result = doc.cellAction(r, c, kind, -2);
        if (result.pick) result = doc.cellAction(r, c, kind, await pickList(result.pick));
        if (result.beep) beep();
        refresh();
        cellOf(r, c).focus();
    }

    // The in-place editor of Receive and Transmit.
    function openEditor(seed, typed) {
        const { r, c } = cur;
        const start = doc.editSeed(r, c);
        if (start === null) return;
        const td = cellOf(r, c);
        const input = document.createElement("input");
        input.maxLength = M.editMaxChars;
        input.value = typed ? seed : start;
        input.setAttribute("aria-label", doc.subject(r, c));
        let open = true;
        const close = (commit) => {
            if (!open) return;
            open = false;
            if (commit) doc.commitEdit(r, c, input.value);
            input.remove();
            refresh();
        };
        input.addEventListener("beforeinput", (e) => { if (e.data && !M.PageSession.editAccepts(e.data)) e.preventDefault(); });
        input.addEventListener("keydown", (e) => {
            e.stopPropagation();
            if (e.key === "Enter") { e.preventDefault(); close(true); td.focus(); }
            else if (e.key === "Escape") { e.preventDefault(); close(false); td.focus(); }
        });
        input.addEventListener("blur", () => close(true));
        td.textContent = "";
        td.appendChild(input);
        input.focus();
        if (typed) input.setSelectionRange(input.value.length, input.value.length);
        else input.select();
    }

    function undo() { if (doc.undo()) refresh(); }
    function redo() { if (doc.redo()) refresh(); }

    // The keys of the window's grid: arrows, Home/End, Page Up/Down move; Enter edits a frequency or
    // picks a tone; Space toggles, cycles or picks; F3 complements a DCS code; typing starts an edit.
    function onGridKey(e) {
        const cell = e.target.closest("td");
        if (!cell || e.target.tagName === "INPUT") return;
        const r0 = cell.parentElement.sectionRowIndex, c0 = cell.cellIndex;
        cur = { r: r0, c: c0 };
        const visible = [...Array(M.columnCount).keys()].filter(c => !cellOf(0, c).hidden);
        const at = visible.indexOf(c0);
        let r = r0, c = c0;
        const bottom = M.channelCount - 1;
        const ctrl = e.ctrlKey || e.metaKey;
        if (ctrl && !e.altKey) {
            const key = e.key.toLowerCase();
            if (key === "z" && !e.shiftKey) { e.preventDefault(); undo(); return; }
            if (key === "y" || (key === "z" && e.shiftKey)) { e.preventDefault(); redo(); return; }
        }
        if (e.altKey && e.key === "Backspace") { e.preventDefault(); undo(); return; }
        switch (e.key) {
        case "ArrowUp": r = Math.max(0, r - 1); break;
        case "ArrowDown": r = Math.min(bottom, r + 1); break;
        case "ArrowLeft": c = visible[Math.max(0, at - 1)]; break;
        case "ArrowRight": c = visible[Math.min(visible.length - 1, at + 1)]; break;
        case "Home": c = visible[0]; if (ctrl) r = 0; break;
        case "End": c = visible[visible.length - 1]; if (ctrl) r = bottom; break;
        case "PageUp": r = 0; break;
        case "PageDown": r = bottom; break;
        case "Enter":
            e.preventDefault();
            if (M.isFrequencyColumn(c0)) openEditor("", false);
            else if (M.isToneColumn(c0)) cellAction("tone");
            return;
        case " ":
            e.preventDefault();
            if (ctrl || e.altKey) return;
            cellAction("space");
            // The blank also reaches the Receive cell as a typed character.
            if (c0 === 2) openEditor(" ", true);
            return;
        case "F3":
            if (!M.isToneColumn(c0)) return;
            e.preventDefault();
            cellAction("complement");
            return;
        default:
            if (ctrl || e.altKey || e.key.length !== 1) return;
            e.preventDefault();
            if (M.isFrequencyColumn(c0) && M.PageSession.editAccepts(e.key)) openEditor(e.key, true);
            return;
        }
        e.preventDefault();
        focusCell(r, c);
    }
    function onGridDoubleClick(e) {
        const cell = e.target.closest("td");
        if (!cell || e.target.tagName === "INPUT") return;
        focusCell(cell.parentElement.sectionRowIndex, cell.cellIndex);
        if (M.isFrequencyColumn(cur.c)) openEditor("", false);
        else if (M.isToneColumn(cur.c)) cellAction("tone");
        else cellAction("space");
    }
    function gridHasFocus() { return document.activeElement && document.activeElement.closest && document.activeElement.closest("#grid td") && document.activeElement.tagName !== "INPUT"; }
    function onCopy(e) {
        if (!gridHasFocus()) return;
        e.preventDefault();
        e.clipboardData.setData("text/plain", doc.copyText(cur.r, cur.c, cur.r, cur.c));
    }
    async function onPaste(e) {
        if (!gridHasFocus()) return;
        e.preventDefault();
        const pasted = e.clipboardData.getData("text/plain");
        const { r, c } = cur;
        const result = await ask(answers => doc.paste(r, c, pasted, itemValues(), answers));
        if (result.outcome === 0) beep();
        refresh();
        cellOf(r, c).focus();
    }

    // ---- files ----
    let fileHandle = null; // where the browser lets Save write back to the opened file
    function download(name, data, type = "application/octet-stream") {
        const a = document.createElement("a");
        a.href = URL.createObjectURL(new Blob([data], { type }));
        a.download = name;
        document.body.appendChild(a);
        a.click();
        a.remove();
        setTimeout(() => URL.revokeObjectURL(a.href), 1000);
    }
    // Files a call wrote: back into the opened file where the browser allows it, otherwise downloaded.
    async function deliver(saved) {
        for (const f of saved || []) {
            if (fileHandle && fileHandle.name === f.name) {
                try {
                    const w = await fileHandle.createWritable();
                    await w.write(f.bytes);
                    await w.close();
                    continue;
                } catch (e) { /* the browser took the permission back: download instead */ }
            }
            download(f.name, f.bytes);
        }
        window.rt62LastSaved = saved && saved.length ? saved[saved.length - 1] : window.rt62LastSaved;
    }
    async function openFile(file, handle = null) {
        const bytes = new Uint8Array(await file.arrayBuffer());
        const r = await ask(answers => doc.open(file.name, bytes, answers));
        if (r.ok) { fileHandle = handle; marks = new Set(); }
        refresh();
        if (r.ok) await addRecent(handle);
    }
    async function save() { await ask(answers => doc.save(answers)); refresh(); }
    async function saveAs() {
        if (window.showSaveFilePicker) {
            try {
                const handle = await window.showSaveFilePicker({ suggestedName: doc.title() });
                fileHandle = handle;
                const r = await ask(answers => doc.saveAs(handle.name, answers));
                if (r.ok) await addRecent(handle);
            } catch (e) { /* the user closed the browser's chooser */ }
        } else {
            fileHandle = null;
            await ask(answers => doc.saveAs(doc.title(), answers));
        }
        refresh();
    }
    async function chooseOpen(e) {
        if (!window.showOpenFilePicker) return; // the file input does it
        e.preventDefault();
        try {
            const [handle] = await window.showOpenFilePicker();
            await openFile(await handle.getFile(), handle);
        } catch (err) { /* the user closed the browser's chooser */ }
    }

    // ---- recent files: the browser's file handles, kept in IndexedDB in the order the core gives ----
    const hasRecent = () => !!(window.showOpenFilePicker && window.indexedDB);
    function recentStore(mode, use) {
        return new Promise((resolve, reject) => {
            const opening = indexedDB.open("rt62m", 1);
            opening.onupgradeneeded = () => opening.result.createObjectStore("recent");
            opening.onerror = () => reject(opening.error);
            opening.onsuccess = () => {
                const db = opening.result;
                try {
                    const t = db.transaction("recent", mode);
                    const request = use(t.objectStore("recent"));
                    t.oncomplete = () => { db.close(); resolve(request.result); };
                    t.onerror = t.onabort = () => { db.close(); reject(t.error); };
                } catch (e) { // a handle the browser cannot keep
                    db.close();
                    reject(e);
                }
            };
        });
    }
    const recentHandles = async () => (await recentStore("readonly", s => s.get("files"))) || [];
    async function keepRecent(handles) {
        await recentStore("readwrite", s => s.put(handles, "files"));
        await showRecent();
    }
    // Each change of the list reads it, then writes it: changes run one after the other, or a file opened
    // while the last one's change was still under way would drop out of the list.
    let recentChanges = Promise.resolve();
    const changeRecent = (change) => (recentChanges = recentChanges.then(change, change));
    function addRecent(handle) {
        if (!handle || !hasRecent()) return Promise.resolve();
        return changeRecent(async () => {
            try {
                const old = await recentHandles();
                const same = await Promise.all(old.map(h => h.isSameEntry(handle).then(x => (x ? 1 : 0), () => 0)));
                await keepRecent(M.recentFileOrder(same).map(p => (p < 0 ? handle : old[p])));
            } catch (e) { /* storage the browser refuses (a private window): the list stays as it was */ }
        });
    }
    // The list as the window's File menu shows it: numbered names, or one disabled entry when empty.
    async function showRecent() {
        const box = $("recent");
        box.hidden = !hasRecent();
        if (box.hidden) return;
        const handles = await recentHandles();
        box.textContent = "";
        const entry = (t) => { const b = document.createElement("button"); b.type = "button"; b.textContent = t; box.appendChild(b); return b; };
        handles.forEach((h, i) => { entry(`${i + 1} ${h.name}`).onclick = () => openRecent(i); });
        if (!handles.length) entry(label(4922)).disabled = true;
    }
    async function openRecent(index) {
        const handles = await recentHandles();
        const handle = handles[index];
        if (!handle) return;
        let file;
        try {
            const mode = { mode: "readwrite" };
            if (await handle.queryPermission(mode) !== "granted" && await handle.requestPermission(mode) !== "granted") return;
            file = await handle.getFile();
        } catch (e) {
            // A file that is gone leaves the list, as it does in the window.
            await changeRecent(async () => {
                const now = await recentHandles();
                const gone = await Promise.all(now.map((h, i) => h.isSameEntry(handle).then(x => x, () => i === index)));
                await keepRecent(now.filter((h, i) => !gone[i])).catch(() => {});
            });
            return;
        }
        await openFile(file, handle);
    }

    // ---- text forms ----
    const textKind = () => Number($("text-kind").value);
    function exportText() {
        const kind = textKind();
        const base = doc.title().replace(/\.[^.]*$/, "");
        download(base + (kind === 1 ? ".csv" : ".yaml"), doc.exportText(kind), "text/plain");
    }
    async function importText(file) {
        const kind = /\.csv$/i.test(file.name) ? 1 : /\.ya?ml$/i.test(file.name) ? 0 : textKind();
        const source = await file.text();
        const r = await ask(answers => doc.importText(file.name, source, kind, answers));
        if (r.ok) { fileHandle = null; marks = new Set(); }
        refresh();
        if (r.skipped) await showMessage(r.skipped);
    }
    async function compareWithFile(file) {
        const bytes = new Uint8Array(await file.arrayBuffer());
        await showComparison(doc.compareWithFile(file.name, bytes));
    }
    async function showComparison(c) {
        await showAll(c.messages);
        if (!c.ok) { if (c.refused) await showMessage(c.refused); return; }
        marks = new Set(c.cells.map(([n, col]) => n + "," + col));
        refresh();
        if (c.none) { await showMessage(c.none); return; }
        const list = document.createElement("ul");
        list.className = "differences";
        for (const line of c.lines) {
            const li = document.createElement("li");
            li.textContent = line.text;
            if (!line.counts) li.className = "minor";
            list.appendChild(li);
        }
        showSheet(c.heading, list, false);
    }

    // ---- the report, the dump and the backups on a sheet over the grid ----
    function showSheet(title, content, printable) {
        $("sheet-title").textContent = title;
        const body = $("sheet-body");
        body.textContent = "";
        body.appendChild(content);
        $("sheet-print").hidden = !printable;
        $("sheet").hidden = false;
        document.body.classList.toggle("printing-sheet", printable);
        $("sheet-close").focus();
    }
    function showReport() {
        const pre = document.createElement("pre");
        pre.className = "report";
        pre.textContent = doc.reportLines().join("\n");
        showSheet(label(4815), pre, true);
    }
    function showDump() {
        const cells = doc.dumpCells();
        const table = document.createElement("table");
        table.className = "dump";
        cells.forEach((row, i) => {
            const tr = table.insertRow();
            row.forEach((t, j) => {
                const cell = document.createElement(i === 0 || j === 0 ? "th" : "td");
                cell.textContent = t;
                tr.appendChild(cell);
            });
        });
        showSheet(label(4816), table, true);
    }

    // The radio-wide settings: each of the window's parameter dialogs as a group of the form, with the
    // dialog's labels and lists. A field the dialog keeps closed (service mode, option board,
    // firmware) is shown but cannot be changed; a text a field refuses gets the field's message and
    // the form shows the stored value again.
    function showSettings() {
        const form = document.createElement("div");
        form.className = "settings";
        const fill = () => {
            form.textContent = "";
            if (!doc.serviceMode()) {
                const service = document.createElement("button");
                service.type = "button";
                service.id = "cmd-service";
                service.textContent = label(4830);
                service.onclick = async () => {
                    if (await askServicePassword()) {
                        refresh();
                        fill();
                    }
                };
                form.appendChild(service);
            }
            doc.settingForms().forEach(f => {
                const box = document.createElement("fieldset");
                const legend = document.createElement("legend");
                legend.textContent = f.title;
                box.appendChild(legend);
                form.appendChild(box);
                for (const row of f.rows) {
                    const id = "field-" + row.path.replace(/[^a-z0-9_]/gi, "-");
                    const l = document.createElement("label");
                    l.htmlFor = id;
                    l.textContent = row.label;
                    let input;
                    if (row.choices.length) {
                        input = document.createElement("select");
                        row.choices.forEach((c, k) => input.add(new Option(row.shown[k].trim() || c, c)));
                        if (!row.choices.includes(row.value)) input.add(new Option(row.value, row.value));
                    } else {
                        input = document.createElement("input");
                    }
                    input.id = id;
                    input.value = row.value;
                    input.dataset.path = row.path;
                    input.disabled = !row.open;
                    input.onchange = async () => {
                        const r = await ask(answers => doc.setField(row.path, input.value, answers));
                        if (r.refused) await showMessage(r.refused);
                        refresh();
                        fill();
                        const again = document.getElementById(id);
                        if (again) again.focus();
                    };
                    box.append(l, input);
                }
            });
        };
        fill();
        showSheet(label(4829), form, false);
    }

    // The service password, as the window asks it when started with /m; true once service mode is on.
    function askServicePassword() {
        return new Promise(resolve => {
            const dialog = $("password"), field = $("password-text");
            field.value = "";
            const done = (ok) => {
                dialog.close();
                const on = ok && doc.enterServiceMode(field.value);
                field.value = "";
                if (ok && !on) beep();
                resolve(on);
            };
            $("password-ok").onclick = () => done(true);
            $("password-cancel").onclick = () => done(false);
            field.onkeydown = (e) => { if (e.key === "Enter") { e.preventDefault(); done(true); } };
            dialog.oncancel = (e) => { e.preventDefault(); done(false); };
            dialog.showModal();
            field.focus();
        });
    }

    // Every image read from a radio, kept as a data file in the browser's storage, newest last.
    function backups() {
        try { return JSON.parse(localStorage.getItem("rt62m.backups")) || []; } catch (e) { return []; }
    }
    function keepBackups(files) {
        if (!files || !files.length) return;
        const kept = backups();
        for (const f of files) kept.push({ name: f.name, data: btoa(String.fromCharCode(...f.bytes)) });
        kept.sort((a, b) => a.name < b.name ? -1 : a.name > b.name ? 1 : 0);
        localStorage.setItem("rt62m.backups", JSON.stringify(kept.slice(-M.backupKeepCount)));
    }
    function showBackups() {
        const kept = backups();
        let content;
        if (!kept.length) {
            content = document.createElement("p");
            content.textContent = text(4820);
        } else {
            content = document.createElement("ul");
            for (const b of kept.slice().reverse()) {
                const li = document.createElement("li"), a = document.createElement("a");
                a.textContent = b.name;
                a.download = b.name;
                a.href = URL.createObjectURL(new Blob([Uint8Array.from(atob(b.data), ch => ch.charCodeAt(0))]));
                li.appendChild(a);
                content.appendChild(li);
            }
        }
        showSheet(label(4817), content, false);
    }

    // ---- the port chooser ----
    function portName(port, index) {
        const info = port.getInfo ? port.getInfo() : {};
        if (info.usbVendorId !== undefined)
            return text(4805, [info.usbVendorId.toString(16).padStart(4, "0"),
                               (info.usbProductId || 0).toString(16).padStart(4, "0")]);
        return text(4804, [String(index + 1)]);
    }
    async function fillPorts(keep) {
        const select = $("port");
        grantedPorts = hasSerial() ? await navigator.serial.getPorts() : [];
        select.textContent = "";
        const add = (value, name) => { const o = new Option(name, value); select.add(o); return o; };
        add("sim", text(4801));
        grantedPorts.forEach((p, i) => add("port:" + i, portName(p, i)));
        add("choose", text(4802));
        const wanted = keep || localStorage.getItem("rt62m.port") || "sim";
        select.value = [...select.options].some(o => o.value === wanted) ? wanted : "sim";
        select.dataset.previous = select.value;
    }
    async function onPortChange() {
        const select = $("port");
        if (select.value === "choose") {
            if (!hasSerial()) {
                select.value = select.dataset.previous;
                await showMessage(text(4803));
                return;
            }
            try {
                const port = await navigator.serial.requestPort();
                await fillPorts();
                select.value = "port:" + grantedPorts.indexOf(port);
            } catch (e) {
                select.value = select.dataset.previous; // the user closed the browser's chooser
            }
        }
        select.dataset.previous = select.value;
        localStorage.setItem("rt62m.port", select.value);
    }

    // ---- transfers: the session prepares, the worker runs, the session finishes ----
    let running = false;
    function progress(m) {
        const bar = $("progress-bar");
        switch (m.what) {
        case 0: bar.max = m.value; break;
        case 1: bar.value = m.value; break;
        case 2: $("progress-status").textContent = text(m.value, m.args); break;
        case 3: $("progress-title").textContent = text(m.value); break;
        }
    }
    function runJob(job) {
        return new Promise(resolve => {
            worker.onjob = resolve;
            worker.postMessage({ type: "run", job });
        });
    }
    async function transfer(kindName) {
        if (running) return null;
        const choice = $("port").value;
        const usesSerial = choice.startsWith("port:");
        if ((usesSerial || choice === "choose") && !hasSerial()) { await showMessage(text(4803)); return null; }
        running = true;
        try {
            const kind = kTransfer[kindName];
            const prepared = await ask(() => doc.prepareTransfer(kind));
            if (!prepared.ready) return null;
            link.port = usesSerial ? grantedPorts[Number(choice.slice(5))] : null;
            const job = Object.assign(prepared.job, { port: usesSerial ? 0 : 1, lead: $("port").selectedOptions[0].text });
            $("progress-bar").value = 0;
            $("progress-status").textContent = "";
            $("progress-box").hidden = false;
            const m = await runJob(job);
            $("progress-box").hidden = true;
            keepBackups(m.backups);
            const end = await ask(() => doc.finishTransfer(m.status, m.image, m.clearMarketingMark));
            if (end.refresh & 8) marks = new Set();
            refresh();
            if (kind === kTransfer.verify && m.status === kStatusCompleted) await showComparison(end);
            return m;
        } finally {
            running = false;
            $("progress-box").hidden = true;
        }
    }

    // ---- Program Fleet ----
    function fleetLog() { return localStorage.getItem("rt62m.fleetlog") || ""; }
    function fleetNews(m) {
        if (m.kind === 1) {
            $("fleet-status").textContent = text(m.a, m.texts);
        } else if (m.kind === 2) {
            const tr = $("fleet-radios").tBodies[0].insertRow();
            for (const t of [String(m.a), ...m.texts]) tr.insertCell().textContent = t;
        }
    }
    async function programFleet() {
        const choice = $("port").value;
        const usesSerial = choice.startsWith("port:");
        if (running) return null;
        if ((usesSerial || choice === "choose") && !hasSerial()) { await showMessage(text(4803)); return null; }
        running = true;
        try {
            const prepared = await ask(answers => doc.prepareFleet(answers));
            refresh();
            if (!prepared.ready) return null;
            $("fleet-radios").tBodies[0].textContent = "";
            $("fleet-log").hidden = true;
            link.port = usesSerial ? grantedPorts[Number(choice.slice(5))] : null;
            const job = Object.assign(prepared.job, {
                port: usesSerial ? 0 : 1, lead: $("port").selectedOptions[0].text, start: $("fleet-start").value,
                count: Number($("fleet-count").value) || 1, programAgain: $("fleet-again").checked,
                log: new TextEncoder().encode(fleetLog()) });
            // While the run goes on, the dialog's Close button is its Cancel.
            const close = $("fleet-close");
            close.textContent = label(4807);
            close.onclick = () => worker.postMessage({ type: "cancel" });
            $("fleet-run").disabled = true;
            const m = await new Promise(resolve => { worker.onjob = resolve; worker.postMessage({ type: "fleet", job }); });
            close.textContent = label(4818);
            close.onclick = () => $("fleet").close();
            $("fleet-run").disabled = false;
            keepBackups(m.backups);
            const log = new TextDecoder().decode(m.log);
            localStorage.setItem("rt62m.fleetlog", log);
            const a = $("fleet-log");
            a.href = URL.createObjectURL(new Blob([log], { type: "text/csv" }));
            a.download = doc.title().replace(/\.[^.]*$/, "") + "-fleet.csv";
            a.hidden = false;
            if (m.summary.started) $("fleet-status").textContent = text(4514, [String(m.summary.programmed), String(m.summary.total)]);
            return m;
        } finally {
            running = false;
            $("progress-box").hidden = true;
        }
    }

    // A module's WebAssembly as the page carries it: gzipped, as base64 text. Decoded here rather than
    // fetched as a data: URL, which costs the browser more than the gunzip itself.
    async function unpack(id) {
        const text = $(id).textContent.trim();
        const packed = Uint8Array.fromBase64 ? Uint8Array.fromBase64(text) : Uint8Array.from(atob(text), c => c.charCodeAt(0));
        return new Uint8Array(await new Response(new Blob([packed]).stream().pipeThrough(new DecompressionStream("gzip"))).arrayBuffer());
    }

    // Resolves once the worker's module has started and run its warm-up.
    async function startWorker() {
        if (document.readyState === "loading") await new Promise(r => document.addEventListener("DOMContentLoaded", r));
        const source = $("rt62-worker-source").textContent;
        worker = new Worker(URL.createObjectURL(new Blob([source], { type: "text/javascript" })));
        const wasm = await unpack("rt62-worker-wasm");
        worker.postMessage({ type: "wasm", bytes: wasm }, [wasm.buffer]);
        link = new SerialLink(worker);
        let started;
        const ready = new Promise(resolve => { started = resolve; });
        worker.onmessage = async (event) => {
            const m = event.data;
            if (await link.handle(m)) return;
            switch (m.type) {
            case "ready": started(); break;
            case "progress": progress(m); break;
            case "prompt": worker.postMessage({ type: "answer", answer: await showMessage(text(m.id, m.args), m.buttons) }); break;
            case "fleet": fleetNews(m); break;
            case "done": if (worker.onjob) worker.onjob(m); break;
            }
        };
        return ready;
    }

    async function start() {
        performance.mark("rt62-start");
        const wasm = await unpack("rt62-page-wasm");
        performance.mark("rt62-unpacked");
        M = await Rt62PageModule({ wasmBinary: wasm });
        performance.mark("rt62-module");
        document.documentElement.lang = M.useLanguages([...(navigator.languages || [navigator.language])]).replace("_", "-");
        for (const el of document.querySelectorAll("[data-string]")) el.textContent = label(Number(el.dataset.string));
        doc = new M.PageSession();
        buildGrid();
        refresh();
        performance.mark("rt62-grid");
        const grid = $("grid");
        grid.addEventListener("keydown", onGridKey);
        grid.addEventListener("dblclick", onGridDoubleClick);
        grid.addEventListener("focusin", (e) => {
            const td = e.target.closest("td");
            if (td && e.target === td) { cellOf(cur.r, cur.c).tabIndex = -1; cur = { r: td.parentElement.sectionRowIndex, c: td.cellIndex }; td.tabIndex = 0; }
        });
        document.addEventListener("copy", onCopy);
        document.addEventListener("paste", onPaste);
        $("cmd-new").onclick = async () => { await ask(answers => doc.newDocument(answers)); fileHandle = null; marks = new Set(); refresh(); };
        $("cmd-open").onchange = (e) => { if (e.target.files[0]) openFile(e.target.files[0]); e.target.value = ""; };
        $("cmd-open").onclick = chooseOpen;
        $("cmd-save").onclick = save;
        $("cmd-save-as").onclick = saveAs;
        $("cmd-undo").onclick = undo;
        $("cmd-redo").onclick = redo;
        $("cmd-visible").onclick = showVisible;
        $("cmd-settings").onclick = showSettings;
        $("visible-close").onclick = () => $("visible").close();
        $("cmd-export").onclick = exportText;
        $("cmd-import").onchange = (e) => { if (e.target.files[0]) importText(e.target.files[0]); e.target.value = ""; };
        $("cmd-compare").onchange = (e) => { if (e.target.files[0]) compareWithFile(e.target.files[0]); e.target.value = ""; };
        $("cmd-report").onclick = showReport;
        $("cmd-dump").onclick = showDump;
        $("cmd-backups").onclick = showBackups;
        $("sheet-close").onclick = () => { $("sheet").hidden = true; document.body.classList.remove("printing-sheet"); cellOf(cur.r, cur.c).focus(); };
        $("sheet-print").onclick = () => window.print();
        document.addEventListener("dragover", (e) => e.preventDefault());
        document.addEventListener("drop", (e) => { e.preventDefault(); if (e.dataTransfer.files[0]) openFile(e.dataTransfer.files[0]); });
        $("port").onchange = onPortChange;
        $("cmd-upload").onclick = () => transfer("upload");
        $("cmd-download").onclick = () => transfer("download");
        $("cmd-verify").onclick = () => transfer("verify");
        $("cmd-fleet").onclick = () => { $("fleet-title").textContent = text(4500); $("fleet").showModal(); };
        $("fleet-run").onclick = programFleet;
        $("fleet-close").onclick = () => $("fleet").close();
        $("progress-cancel").onclick = () => worker.postMessage({ type: "cancel" });
        $("recent").setAttribute("aria-label", label(4922));
        const workerStarted = startWorker();
        await showRecent().catch(() => { $("recent").hidden = true; });
        await fillPorts();
        // The module compiles a function when it is first called: a scratch session's preparation
        // takes that cost now rather than at the first transfer.
        const scratch = new M.PageSession();
        scratch.prepareTransfer(kTransfer.upload);
        scratch.delete();
        await workerStarted;
        document.body.dataset.ready = "true";
    }

    start();
    return { transfer, programFleet, get doc() { return doc; } };
})();
