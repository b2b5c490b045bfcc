// The page: the document's grid, the file commands and the radio commands over the core's module.
"use strict";

const Rt62Page = (() => {
    let M = null;      // the page's core module
    let doc = null;    // its PageDocument
    let worker = null; // the transfer worker
    let link = null;
    let grantedPorts = [];
    const $ = (id) => document.getElementById(id);
    const text = (id, args = []) => M.message(id, args);
    const label = (id) => { const t = text(id); return t.includes("\n") ? t.slice(t.indexOf("\n") + 1) : t; };
    const hasSerial = () => "serial" in navigator;

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
            box.firstChild.focus();
        }));
        dialogQueue = shown.catch(() => {});
        return shown;
    }
    async function showAll(messages) { for (const m of messages) await showMessage(m); }

    // ---- the grid ----
    function renderGrid() {
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
                tr.appendChild(th);
            }
        }
        const body = grid.createTBody();
        for (let n = 0; n < M.channelCount; ++n) {
            const tr = body.insertRow();
            for (let c = 0; c < M.columnCount; ++c) {
                const td = tr.insertCell();
                td.textContent = doc.cellText(n, c);
                td.setAttribute("aria-label", doc.cellSpeech(n, c));
                td.tabIndex = n === 0 && c === 0 ? 0 : -1;
            }
        }
        grid.hidden = false;
        $("loading").hidden = true;
        $("title").textContent = doc.title() + (doc.modified() ? " *" : "");
        document.title = doc.title() + " - RT62MWin";
    }

    // Arrow keys, Home/End and Page Up/Down move the one focusable cell, as in the window's grid.
    function onGridKey(e) {
        const cell = e.target.closest("td");
        if (!cell) return;
        const rows = $("grid").tBodies[0].rows;
        let r = cell.parentElement.sectionRowIndex, c = cell.cellIndex;
        const last = M.columnCount - 1, bottom = rows.length - 1;
        switch (e.key) {
        case "ArrowUp": r = Math.max(0, r - 1); break;
        case "ArrowDown": r = Math.min(bottom, r + 1); break;
        case "ArrowLeft": c = Math.max(0, c - 1); break;
        case "ArrowRight": c = Math.min(last, c + 1); break;
        case "Home": c = 0; if (e.ctrlKey) r = 0; break;
        case "End": c = last; if (e.ctrlKey) r = bottom; break;
        case "PageUp": r = 0; break;
        case "PageDown": r = bottom; break;
        default: return;
        }
        e.preventDefault();
        const next = rows[r].cells[c];
        cell.tabIndex = -1;
        next.tabIndex = 0;
        next.focus();
    }

    // ---- files ----
    async function openFile(file) {
        const bytes = new Uint8Array(await file.arrayBuffer());
        const r = doc.open(file.name, bytes);
        await showAll(r.messages);
        renderGrid();
    }
    async function save() {
        const r = doc.save();
        await showAll(r.messages);
        if (!r.ok) return;
        const a = document.createElement("a");
        a.href = URL.createObjectURL(new Blob([r.bytes], { type: "application/octet-stream" }));
        a.download = r.name;
        a.click();
        setTimeout(() => URL.revokeObjectURL(a.href), 0);
        renderGrid();
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

    // ---- transfers ----
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
    function transfer(kind) {
        if (running) return;
        const choice = $("port").value;
        const usesSerial = choice.startsWith("port:");
        if ((usesSerial || choice === "choose") && !hasSerial()) { showMessage(text(4803)); return; }
        link.port = usesSerial ? grantedPorts[Number(choice.slice(5))] : null;
        running = true;
        $("progress-bar").value = 0;
        $("progress-status").textContent = "";
        $("progress-box").hidden = false;
        const job = { kind, port: usesSerial ? 0 : 1, lead: $("port").selectedOptions[0].text,
                      image: doc.image(), documentModified: doc.modified() };
        return new Promise(resolve => {
            worker.onjob = (m) => {
                running = false;
                $("progress-box").hidden = true;
                if (kind === "upload" && m.image) doc.takeUploadedImage(m.image);
                renderGrid();
                resolve(m);
            };
            worker.postMessage({ type: "run", job });
        });
    }

    function startWorker() {
        const source = $("rt62-worker-source").textContent;
        worker = new Worker(URL.createObjectURL(new Blob([source], { type: "text/javascript" })));
        link = new SerialLink(worker);
        worker.onmessage = async (event) => {
            const m = event.data;
            if (await link.handle(m)) return;
            switch (m.type) {
            case "progress": progress(m); break;
            case "prompt": worker.postMessage({ type: "answer", answer: await showMessage(text(m.id, m.args), m.buttons) }); break;
            case "done": if (worker.onjob) worker.onjob(m); break;
            }
        };
    }

    async function start() {
        M = await Rt62PageModule();
        for (const el of document.querySelectorAll("[data-string]")) el.textContent = label(Number(el.dataset.string));
        doc = new M.PageDocument();
        renderGrid();
        performance.mark("rt62-grid");
        $("grid").addEventListener("keydown", onGridKey);
        $("cmd-new").onclick = async () => { await showAll(doc.newDocument()); renderGrid(); };
        $("cmd-open").onchange = (e) => { if (e.target.files[0]) openFile(e.target.files[0]); e.target.value = ""; };
        $("cmd-save").onclick = save;
        document.addEventListener("dragover", (e) => e.preventDefault());
        document.addEventListener("drop", (e) => { e.preventDefault(); if (e.dataTransfer.files[0]) openFile(e.dataTransfer.files[0]); });
        $("port").onchange = onPortChange;
        $("cmd-upload").onclick = () => transfer("upload");
        $("cmd-download").onclick = () => transfer("download");
        $("progress-cancel").onclick = () => worker.postMessage({ type: "cancel" });
        await fillPorts();
        startWorker();
        document.body.dataset.ready = "true";
    }

    start();
    return { transfer, get doc() { return doc; } };
})();
