// RT62MWeb.html in headless Chromium, opened from disk: the grid, files, and the radio over a stand-in
// navigator.serial whose far end is the emulated radio at 4800 baud.
"use strict";
const { test, before, after } = require("node:test");
const assert = require("node:assert/strict");
const h = require("./helpers.js");
const { fs, path, corpus, golden, gridCells, answerMessage, openFile, chooseFakePort, isLocal } = h;

const scratch = fs.mkdtempSync(path.join(h.os.tmpdir(), "rt62mweb-"));
const pageFile = h.pageFile;
let browser;
before(async () => { browser = await h.launch(); });
after(async () => {
    await browser.close();
    fs.rmSync(scratch, { recursive: true, force: true });
});
const openPage = (options) => h.openPage(browser, options);

// Starts a transfer and measures, in the page, the milliseconds until its first message box; the
// transfer's result is window.rt62Job.
function timeToMessage(page, kind) {
    return page.evaluate(kind => new Promise(resolve => {
        const t0 = performance.now(), box = document.getElementById("message");
        new MutationObserver((_, o) => { if (box.open) { o.disconnect(); resolve(performance.now() - t0); } })
            .observe(box, { attributes: true });
        window.rt62Job = Rt62Page.transfer(kind).then(m => Array.from(m.image));
    }), kind);
}

test("the default file's grid, from disk, without a request to any network", async () => {
    const page = await openPage({ fakeSerial: false });
    const shownAfter = await page.evaluate(() => performance.getEntriesByName("rt62-grid")[0].startTime);
    const cells = await gridCells(page);
    assert.equal(cells.length, 16);
    const want = fs.readFileSync(path.join(golden, "channels_vhf1.txt"), "utf8").trimEnd().split("\n")
        .map(l => l.split("\t"));
    assert.deepEqual(cells, want);
    assert.equal(await page.$eval("#grid", g => g.getAttribute("aria-label")), "Channels");
    assert.match(await page.$eval("#grid tbody td:nth-child(3)", c => c.getAttribute("aria-label")),
                 /^Channel 1, .*MHz$/);
    assert.deepEqual(page.requests.filter(u => !isLocal(u)), []);
    assert.equal(page.errors, undefined);
    console.log(`grid shown ${shownAfter.toFixed(0)} ms after the page was opened; the page is ` +
                `${fs.statSync(pageFile).size} bytes`);
    await page.close();
});

test("opens data files with the window's checks and saves the same bytes", async () => {
    const page = await openPage({ fakeSerial: false });
    await openFile(page, path.join(corpus, "default_uhf1.r62"));
    await page.waitForFunction(() => document.getElementById("title").textContent.startsWith("default_uhf1"));
    const want = fs.readFileSync(path.join(golden, "channels_uhf1.txt"), "utf8").trimEnd().split("\n")
        .map(l => l.split("\t"));
    assert.deepEqual(await gridCells(page), want);

    // Not a data file, and a cut one: message 37, the open document untouched.
    const before = await gridCells(page);
    for (const [name, bytes] of [["notes.r62", Buffer.from("not a data file")],
                                 ["cut.r62", fs.readFileSync(path.join(corpus, "options_all.r62")).subarray(0, 200)]]) {
        const file = path.join(scratch, name);
        fs.writeFileSync(file, bytes);
        await openFile(page, file);
        assert.match(await answerMessage(page), /The File cannot be Opened/);
        assert.deepEqual(await gridCells(page), before);
    }

    // Save: the document's data file, byte for byte what was opened.
    const saved = await page.evaluate(() => Array.from(Rt62Page.doc.save([]).saved[0].bytes));
    assert.deepEqual(Buffer.from(saved), fs.readFileSync(path.join(corpus, "default_uhf1.r62")));
    await page.close();
});

test("Save writes back into the file the browser's picker opened; Save As and a refused file download", async () => {
    const page = await openPage({ fakeSerial: false });
    const opened = Array.from(fs.readFileSync(path.join(corpus, "default_vhf1.r62")));
    // A stand-in for the browser's file picker: one file, whose handle keeps what is written to it.
    await page.evaluate(bytes => {
        window.rt62Written = [];
        const handle = {
            kind: "file", name: "club.r62", refused: false,
            async getFile() { return new File([new Uint8Array(bytes)], "club.r62"); },
            async createWritable() {
                if (handle.refused) throw new DOMException("The user took the permission back.", "NotAllowedError");
                const data = [];
                return { async write(d) { data.push(...new Uint8Array(d)); }, async close() { window.rt62Written.push(data); } };
            },
        };
        window.rt62Handle = handle;
        window.showOpenFilePicker = async () => [handle];
        window.showSaveFilePicker = undefined;
    }, opened);
    await h.catchDownloads(page);
    const edit = async (text) => {
        await page.click("#grid tbody tr:nth-child(3) td:nth-child(3)");
        await page.keyboard.type(text);
        await page.keyboard.press("Enter");
        await page.waitForFunction(() => document.getElementById("title").textContent.endsWith("*"));
    };
    await page.$eval("#cmd-open", i => i.click());
    await page.waitForFunction(() => document.getElementById("title").textContent === "club.r62");
    await edit("146.52");
    await page.click("#cmd-save");
    await page.waitForFunction(() => window.rt62Written.length === 1);
    const written = await page.evaluate(() => window.rt62Written[0]);
    assert.deepEqual(written, await page.evaluate(() => Array.from(window.rt62LastSaved.bytes)));
    assert.equal(written.length, 262);
    assert.notDeepEqual(written, opened);
    assert.equal(await page.$eval("#title", t => t.textContent), "club.r62");

    // The browser took the permission back: the file is downloaded instead. After Save As without a
    // picker the document is in no opened file any more: Save downloads too.
    await page.evaluate(() => { window.rt62Handle.refused = true; });
    await edit("147.1");
    await page.click("#cmd-save");
    await page.evaluate(() => { window.rt62Handle.refused = false; });
    await page.click("#cmd-save-as");
    await edit("148.2");
    await page.click("#cmd-save");
    const got = await h.downloads(page, 3);
    assert.deepEqual(got.map(d => d.name), ["club.r62", "club.r62", "club.r62"]);
    assert.deepEqual(got[2].bytes, await page.evaluate(() => Array.from(window.rt62LastSaved.bytes)));
    assert.equal(await page.evaluate(() => window.rt62Written.length), 1);
    assert.equal(page.errors, undefined);
    await page.close();
});

test("upload and download over the stand-in port at 4800 baud", async () => {
    const page = await openPage();
    await chooseFakePort(page);
    const radioImage = Array.from(fs.readFileSync(path.join(corpus, "options_all.r62")).subarray(0, 254));
    await page.evaluate(i => rt62Fake.reset(i), radioImage);

    const uploadMs = await timeToMessage(page, "upload");
    assert.equal(await answerMessage(page), "Upload is completed");
    assert.deepEqual(await page.evaluate(() => window.rt62Job), radioImage);
    assert.deepEqual(await page.evaluate(() => rt62Fake.opens),
                     [{ baudRate: 4800, dataBits: 8, parity: "none", stopBits: 2, flowControl: "none" }]);
    assert.deepEqual(await page.evaluate(() => rt62Fake.signals),
                     [{ dataTerminalReady: true, requestToSend: true }, { dataTerminalReady: false }]);

    const downloadMs = await timeToMessage(page, "download");
    assert.equal(await answerMessage(page), "Download is completed");
    // What the document keeps after the merge is what the radio now holds.
    assert.deepEqual(await page.evaluate(() => rt62Fake.image()), await page.evaluate(() => window.rt62Job));
    assert.equal(await page.evaluate(() => rt62Fake.openPorts), 0);
    // As bench/link_bench prints it: every character exchanged, at 11 bits each.
    for (const [what, ms, host, radio] of [["upload", uploadMs, 2, 258], ["download", downloadMs, 260, 259]]) {
        const wire = (host + radio) * 11 * 1000 / 4800;
        console.log(`${what.padEnd(9)} characters ${host + radio} (computer ${host}, radio ${radio})  ` +
                    `wire ${wire.toFixed(1)} ms  wall ${ms.toFixed(1)} ms  ratio ${(ms / wire).toFixed(3)}`);
    }
    await page.close();
});

test("radio faults give the window's messages; Cancel ends quietly", async () => {
    const page = await openPage();
    await chooseFakePort(page);
    const radioImage = Array.from(fs.readFileSync(path.join(corpus, "default_vhf2.r62")).subarray(0, 254));
    const cases = [
        { name: "echo lost", start: 1, faults: { dropEcho: 1 }, message: /^Check that lead is connected to COM USB serial port 0403:6001$/ },
        { name: "line error in the image", start: 0, faults: { lineErrorAt: 40 }, message: /^Timeout 2/ },
        { name: "frame cut", start: 0, faults: { cutFrameAfter: 100 }, message: /^Upload is completed$/ },
    ];
    for (const c of cases) {
        await page.evaluate((i, s, f) => rt62Fake.reset(i, s).then(() => rt62Fake.faults(f)), radioImage, c.start, c.faults);
        page.evaluate(() => { Rt62Page.transfer("upload"); });
        assert.match(await answerMessage(page), c.message, c.name);
        await page.waitForSelector("#progress-box[hidden]");
        assert.equal(await page.evaluate(() => rt62Fake.openPorts), 0, c.name);
    }

    // A silent radio is waited for until the user cancels: no message then.
    await page.evaluate(i => rt62Fake.reset(i).then(() => rt62Fake.faults({ silent: true })), radioImage);
    const done = page.evaluate(() => Rt62Page.transfer("upload"));
    await page.waitForFunction(() => rt62Fake.hostBytes > 0);
    await page.click("#progress-cancel");
    assert.equal((await done).status, 3);
    assert.equal(await page.$("#message[open]"), null);

    await page.waitForSelector("#progress-box[hidden]");
    // The cable pulled during the download.
    await page.evaluate(i => rt62Fake.reset(i), radioImage);
    await page.evaluate(() => { rt62Fake.unplugAfterHostBytes = 100; Rt62Page.transfer("download"); });
    assert.match(await answerMessage(page), /^Check that lead is connected/);
    await page.close();
});

test("Program Fleet of four over the stand-in port: one radio skipped, the log offered as CSV", async () => {
    const page = await openPage();
    await chooseFakePort(page);
    await page.evaluate(() => {
        localStorage.removeItem("rt62m.fleetlog");
        // The user puts the radio the page asks for on the cable before the run goes on.
        window.rt62Connected = [];
        const status = document.getElementById("fleet-status");
        new MutationObserver(() => {
            const asked = /^Radio (\d+) of \d+: connect it/.exec(status.textContent);
            if (!asked) return;
            window.rt62Connected.push(Number(asked[1]));
            rt62Fake.fleetRadio(Number(asked[1]) - 1);
        }).observe(status, { childList: true, characterData: true, subtree: true });
    });
    await page.click("#cmd-fleet");
    await page.$eval("#fleet-start", e => { e.value = "A100"; });
    await page.click("#fleet-run");
    assert.equal(await answerMessage(page, "OK", 60000), "Hardware configuration mismatched! Radio 1F000003 is skipped.");
    await page.waitForFunction(() => !document.getElementById("fleet-log").hidden, { timeout: 60000 });
    assert.deepEqual(await page.evaluate(() => window.rt62Connected), [1, 2, 3, 4]);
    const rows = await page.$$eval("#fleet-radios tbody tr", r => r.map(tr => [...tr.cells].map(c => c.textContent)));
    assert.deepEqual(rows, [["1", "1F000001", "A100", "programmed"], ["2", "1F000002", "A101", "programmed"],
                            ["3", "1F000003", "", "hardware differs"], ["4", "1F000004", "A102", "programmed"]]);
    assert.equal(await page.$eval("#fleet-status", e => e.textContent), "3 of 4 radios programmed.");
    // The log names every radio with what became of it, and its backup.
    const [name, log] = await page.$eval("#fleet-log", a => fetch(a.href).then(r => r.text()).then(t => [a.download, t]));
    assert.match(name, /-fleet\.csv$/);
    const lines = log.trimEnd().split(/\r?\n/).map(l => l.split(","));
    assert.deepEqual(lines[0], ["time", "serial_number", "ani_code", "result", "backup_file"]);
    assert.deepEqual(lines.slice(1).map(l => l.slice(1, 4)), rows.map(r => r.slice(1)));
    for (const l of lines.slice(1)) {
        assert.match(l[0], /^\d{4}-\d\d-\d\d/);
        assert.match(l[4], /\.r62$/);
    }
    assert.equal(await page.evaluate(() => rt62Fake.openPorts), 0);
    await page.close();
});

test("without Web Serial the files work and the radio commands say why not", async () => {
    const page = await openPage({ fakeSerial: false, noSerial: true });
    assert.equal((await gridCells(page)).length, 16);
    await page.select("#port", "choose");
    assert.match(await answerMessage(page), /This browser cannot reach serial ports/);
    assert.equal(await page.$eval("#port", s => s.value), "sim");
    // The simulated radio needs no serial port.
    page.evaluate(() => { Rt62Page.transfer("upload"); });
    assert.equal(await answerMessage(page, "OK", 30000), "Upload is completed");
    await page.close();
});
