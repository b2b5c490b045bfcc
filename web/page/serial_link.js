// The page's side of the radio link: the serial port through the standard navigator.serial API, its
// bytes forwarded to and from the transfer worker, where the protocol and its time-outs run.
"use strict";

// 4800 baud, 8 data bits, no parity, 2 stop bits: the clone cable's line.
const RT62_LINE = { baudRate: 4800, dataBits: 8, parity: "none", stopBits: 2, flowControl: "none" };
// Read errors after which the port stays usable (the stream is replaced): a damaged character.
const RT62_LINE_ERRORS = ["FramingError", "ParityError", "BreakError", "BufferOverrunError"];
// OpenError values of the core.
const RT62_OPEN = { none: 0, notFound: 1, permissionDenied: 2, busy: 3, settings: 4, other: 5 };

class SerialLink {
    constructor(worker) {
        this.worker = worker;
        this.port = null;   // the SerialPort of the next job
        this.reader = null;
        this.writer = null;
        this.pumping = null;
        this.closing = false;
    }

    post(items) { this.worker.postMessage({ type: "input", items }); }

    async open() {
        if (!this.port) return RT62_OPEN.notFound;
        try {
            await this.port.open(RT62_LINE);
        } catch (e) {
            return e && e.name === "NotFoundError" ? RT62_OPEN.notFound
                 : e && e.name === "SecurityError" ? RT62_OPEN.permissionDenied
                 : e && e.name === "InvalidStateError" ? RT62_OPEN.busy : RT62_OPEN.other;
        }
        try {
            await this.port.setSignals({ dataTerminalReady: true, requestToSend: true });
        } catch (e) {
            // Adapters without modem lines still carry the data.
        }
        this.closing = false;
        this.writer = this.port.writable.getWriter();
        this.pumping = this.pump();
        return RT62_OPEN.none;
    }

    // Reads until the port closes; a line error is passed on in its place in the stream, and the
    // port's next readable stream is taken, as the API replaces it after such an error.
    async pump() {
        while (!this.closing && this.port && this.port.readable) {
            this.reader = this.port.readable.getReader();
            try {
                for (;;) {
                    const { value, done } = await this.reader.read();
                    if (done) break;
                    if (value && value.length) this.post(Array.from(value));
                }
            } catch (e) {
                if (!this.closing) this.post([RT62_LINE_ERRORS.includes(e && e.name) ? -1 : -2]);
            } finally {
                this.reader.releaseLock();
                this.reader = null;
            }
        }
        if (!this.closing) this.post([-2]);
    }

    send(bytes) {
        if (!this.writer) return;
        this.writer.write(bytes).catch(() => { if (!this.closing) this.post([-2]); });
    }

    async close() {
        if (!this.writer) return;
        this.closing = true;
        try { if (this.reader) await this.reader.cancel(); } catch (e) { /* gone already */ }
        try { await this.pumping; } catch (e) { /* ended */ }
        try { this.writer.releaseLock(); } catch (e) { /* released */ }
        this.writer = null;
        try { await this.port.setSignals({ dataTerminalReady: false }); } catch (e) { /* no lines */ }
        try { await this.port.close(); } catch (e) { /* unplugged */ }
    }

    // What the worker asks of the port.
    async handle(m) {
        switch (m.type) {
        case "open": this.worker.postMessage({ type: "opened", error: await this.open() }); return true;
        case "close": await this.close(); this.worker.postMessage({ type: "closed" }); return true;
        case "send": this.send(m.bytes); return true;
        }
        return false;
    }
}
