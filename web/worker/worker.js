// The transfer worker's side of its messages with the page. The page holds the serial port and
// forwards what it reads; the worker's C++ waits for it here, on the worker's own timers, which a
// background tab does not slow down.
"use strict";

var Rt62Worker = (() => {
    const input = [];  // bytes 0-255, -1 a line error, -2 the port is gone
    let wake = null;   // resolves the C++ side's wait when input arrives
    let lost = false;
    const replies = new Map(); // what the page is asked, by kind: open, close, prompt
    let module = null;
    // The module starts once the page has sent its WebAssembly.
    let wasmArrived;
    const loaded = new Promise(resolve => { wasmArrived = resolve; })
        .then(bytes => Rt62WorkerModule({ wasmBinary: bytes }))
        .then(M => { M._rt62w_warm_up(); module = M; postMessage({ type: "ready" }); return M; });

    // The bar's position, sent at most every 50 ms: one message a byte would keep the page's event
    // loop behind the line. Whatever else goes to the page flushes it first, so the order stays.
    let position = null, positionTimer = null;
    function flushPosition() {
        if (positionTimer !== null) clearTimeout(positionTimer);
        positionTimer = null;
        if (position !== null) postMessage({ type: "progress", what: 1, value: position, args: [] });
        position = null;
    }
    function post(message, transfer) {
        flushPosition();
        postMessage(message, transfer);
    }

    function ask(kind, message) {
        post(Object.assign({ type: kind }, message));
        return new Promise(resolve => replies.set(kind, resolve));
    }
    function answer(kind, value) {
        const resolve = replies.get(kind);
        replies.delete(kind);
        if (resolve) resolve(value);
    }

    const api = {
        portOpen() {
            input.length = 0;
            lost = false;
            return ask("open", {});
        },
        portClose() { return ask("close", {}); },
        portSend(bytes) {
            if (lost) return false;
            postMessage({ type: "send", bytes }, [bytes.buffer]);
            return true;
        },
        portReceive(timeoutMs, capacity) {
            if (input.length) return Promise.resolve(input.splice(0, capacity));
            return new Promise(resolve => {
                const timer = setTimeout(() => { wake = null; resolve([]); }, timeoutMs);
                wake = () => { clearTimeout(timer); wake = null; resolve(input.splice(0, capacity)); };
            });
        },
        portDiscard() {
            // Whatever was lost stays lost.
            const gone = input.includes(-2);
            input.length = 0;
            if (gone) input.push(-2);
        },
        prompt(id, buttons, icon, args) { return ask("prompt", { id, buttons, icon, args }); },
        progress(what, value, args) {
            if (what !== 1) return post({ type: "progress", what, value, args });
            position = value;
            if (positionTimer === null) positionTimer = setTimeout(flushPosition, 50);
        },
        fleetNews(kind, a, b, texts) { post({ type: "fleet", kind, a, b, texts }); },
    };

    // The backups the job wrote, taken out of the worker's file system for the page to keep.
    function takeBackups(M) {
        const folder = "/backups", files = [];
        if (!M.FS.analyzePath(folder).exists) return files;
        for (const name of M.FS.readdir(folder)) {
            if (name === "." || name === "..") continue;
            files.push({ name, bytes: M.FS.readFile(folder + "/" + name) });
            M.FS.unlink(folder + "/" + name);
        }
        return files;
    }

    // A job the page's session prepared: the image goes in; the job's status, image and backups come back.
    async function run(job) {
        const M = await loaded;
        const image = M._malloc(254), out = M._malloc(254), flags = M._malloc(4), lead = M._malloc(256),
              trailer = M._malloc(8);
        M.HEAPU8.set(job.image, image);
        M.HEAPU8.set(job.trailer, trailer);
        M.stringToUTF8(job.lead || "", lead, 256);
        const status = await M.ccall("rt62w_run", "number", Array(12).fill("number"),
            [job.kind, job.port, lead, image, job.documentModified ? 1 : 0, job.serviceMode ? 1 : 0,
             job.marketingChanged ? 1 : 0, job.backup ? 1 : 0, trailer, job.giveUpMs || 0, out, flags],
            { async: true });
        const f = M.HEAP32[flags >> 2];
        const result = { type: "done", status, image: (f & 1) ? M.HEAPU8.slice(out, out + 254) : null,
                         clearMarketingMark: (f & 2) !== 0, backups: takeBackups(M) };
        for (const p of [image, out, flags, lead, trailer]) M._free(p);
        post(result);
    }

    // Program Fleet: the earlier runs' log goes in, the summary, the log and the backups come back.
    async function fleet(job) {
        const M = await loaded;
        if (!M.FS.analyzePath("/fleet").exists) M.FS.mkdir("/fleet");
        M.FS.writeFile("/fleet/log.csv", job.log || new Uint8Array(0));
        const template = M._malloc(254), trailer = M._malloc(8), lead = M._malloc(256), start = M._malloc(64),
              summary = M._malloc(24);
        M.HEAPU8.set(job.template, template);
        M.HEAPU8.set(job.trailer, trailer);
        M.stringToUTF8(job.lead || "", lead, 256);
        M.stringToUTF8(job.start || "", start, 64);
        await M.ccall("rt62w_fleet", null, Array(11).fill("number"),
            [job.port, lead, template, trailer, job.format, start, job.count, job.programAgain ? 1 : 0,
             job.backup ? 1 : 0, job.giveUpMs || 0, summary], { async: true });
        const [started, total, programmed, notProgrammed, cancelled, logFailed] = M.HEAP32.slice(summary >> 2, (summary >> 2) + 6);
        for (const p of [template, trailer, lead, start, summary]) M._free(p);
        post({ type: "done", summary: { started, total, programmed, notProgrammed, cancelled, logFailed },
                      log: M.FS.readFile("/fleet/log.csv"), backups: takeBackups(M) });
    }

    self.onmessage = (event) => {
        const m = event.data;
        switch (m.type) {
        case "input":
            for (const item of m.items) input.push(item);
            if (m.items.includes(-2)) lost = true;
            if (wake) wake();
            break;
        case "opened": answer("open", m.error); break;
        case "closed": answer("close"); break;
        case "answer": answer("prompt", m.answer); break;
        case "cancel": if (module) module._rt62w_cancel(); break;
        case "run": run(m.job); break;
        case "fleet": fleet(m.job); break;
        case "wasm": wasmArrived(m.bytes); break;
        }
    };

    return api;
})();
