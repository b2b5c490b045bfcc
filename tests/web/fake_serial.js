// A stand-in for navigator.serial, loaded into the page before its own scripts: one port whose far end
// is the core's emulated radio (Rt62FakeRadio), paced at 4800 baud with 11 bits per character. It
// keeps to the standard API only (requestPort, getPorts, open, readable, writable, setSignals, close),
// raises line errors as the standard's non-fatal read errors and an unplugged cable as a fatal one.
"use strict";
(() => {
    const kCharMs = 11 * 1000 / 4800;
    const fake = {
        radio: null,          // the emulator module, once loaded
        opens: [],            // the options of every open
        signals: [],          // every setSignals call
        hostBytes: 0,
        unplugAfterHostBytes: -1,
        granted: false,
        openPorts: 0,
    };
    window.rt62Fake = fake;
    const ready = Rt62FakeRadio().then(M => { fake.radio = M; });

    class FakePort {
        constructor() {
            this.isOpen = false;
            this.pending = [];   // [due time, item]: item a byte, "error" or "lost"
            this.txFree = 0;     // the computer's transmit line is busy until then
            this.rxFree = 0;     // and the receive line
            this.timer = null;
            this.out = new Int32Array(2 * 1024); // a whole frame answers one byte
        }
        getInfo() { return { usbVendorId: 0x0403, usbProductId: 0x6001 }; }
        newReadable() {
            this.readable = new ReadableStream({ start: (c) => { this.controller = c; } });
        }
        async open(options) {
            await ready;
            if (this.isOpen) throw new DOMException("The port is already open.", "InvalidStateError");
            fake.opens.push(options);
            this.isOpen = true;
            ++fake.openPorts;
            this.newReadable();
            this.writable = new WritableStream({ write: (chunk) => this.hostWrite(chunk) });
        }
        async setSignals(s) { fake.signals.push(s); }
        async close() {
            clearTimeout(this.timer);
            this.timer = null;
            // What was still on its way is gone with the line.
            this.pending = [];
            this.txFree = this.rxFree = 0;
            this.isOpen = false;
            --fake.openPorts;
            this.readable = null;
            this.writable = null;
        }
        hostWrite(chunk) {
            if (!this.isOpen || this.lost) throw new DOMException("The device has been lost.", "NetworkError");
            const M = fake.radio;
            const out = M._malloc(this.out.byteLength);
            for (const b of chunk) {
                if (fake.hostBytes++ === fake.unplugAfterHostBytes) { this.unplug(); break; }
                // The byte is on the wire for one character time after the ones before it.
                this.txFree = Math.max(this.txFree, performance.now()) + kCharMs;
                const heard = this.txFree;
                const n = M._fr_host_byte(b, out, this.out.length / 2);
                for (let i = 0; i < n; ++i) {
                    const kind = M.HEAP32[(out >> 2) + 2 * i], value = M.HEAP32[(out >> 2) + 2 * i + 1];
                    if (kind === 3) { this.rxFree = Math.max(this.rxFree, heard) + value; continue; }
                    // The echo arrives with the byte; the radio's bytes each take a character time.
                    this.rxFree = Math.max(this.rxFree, heard) + (kind === 0 ? 0 : kCharMs);
                    this.pending.push([this.rxFree, kind === 2 ? "error" : value]);
                }
            }
            M._free(out);
            this.schedule();
        }
        unplug() {
            this.lost = true;
            this.pending.push([performance.now(), "lost"]);
            this.schedule();
        }
        schedule() {
            if (this.timer !== null || !this.pending.length) return;
            const wait = Math.max(0, this.pending[0][0] - performance.now());
            this.timer = setTimeout(() => { this.timer = null; this.deliver(); }, wait);
        }
        // Everything due goes into the stream as one chunk, as a driver hands over what it has.
        deliver() {
            const now = performance.now();
            const bytes = [];
            while (this.pending.length && this.pending[0][0] <= now + 0.5) {
                const item = this.pending.shift()[1];
                if (typeof item === "number") { bytes.push(item); continue; }
                if (bytes.length) this.controller.enqueue(new Uint8Array(bytes.splice(0)));
                if (item === "error") {
                    this.controller.error(new DOMException("A framing error was detected.", "FramingError"));
                    this.newReadable();
                } else {
                    this.controller.error(new DOMException("The device has been lost.", "NetworkError"));
                    this.readable = null;
                    this.pending = [];
                    return;
                }
            }
            if (bytes.length) this.controller.enqueue(new Uint8Array(bytes));
            this.schedule();
        }
    }

    const port = new FakePort();
    fake.port = port;
    fake.reset = async (image, start = 0) => {
        await ready;
        const M = fake.radio, p = M._malloc(254);
        M.HEAPU8.set(image, p);
        M._fr_reset(p, start);
        M._free(p);
        fake.hostBytes = 0;
    };
    // Another radio on the cable: the simulated fleet's radio index (from 0).
    fake.fleetRadio = (index) => {
        fake.radio._fr_fleet_radio(index);
        fake.hostBytes = 0;
    };
    fake.image = () => {
        const M = fake.radio, p = M._malloc(254);
        M._fr_image(p);
        const image = Array.from(M.HEAPU8.slice(p, p + 254));
        M._free(p);
        return image;
    };
    fake.faults = (f) => fake.radio._fr_faults(f.silent ? 1 : 0, f.dropEcho ?? -1, f.cutFrameAfter ?? -1, f.lineErrorAt ?? -1);

    const serial = {
        async requestPort() { fake.granted = true; return port; },
        async getPorts() { return fake.granted ? [port] : []; },
        addEventListener() {},
        removeEventListener() {},
    };
    Object.defineProperty(Navigator.prototype, "serial", { get: () => serial, configurable: true });
})();
