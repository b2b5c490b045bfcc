// Recent files in the browser: real file handles from the origin-private file system, opened, saved
// and opened again from the list, in the order and number the window keeps. Chromium keeps that file
// system from file:// pages, so here the page is served from 127.0.0.1.
"use strict";
const { test, before, after } = require("node:test");
const assert = require("node:assert/strict");
const http = require("http");
const h = require("./helpers.js");
const { fs, path } = h;

let browser, server, url;
before(async () => {
    browser = await h.launch();
    const dir = path.dirname(h.pageFile);
    server = http.createServer((req, res) => {
        const file = path.join(dir, path.basename(decodeURIComponent(new URL(req.url, "http://x").pathname)));
        if (!file.endsWith(".html") || !fs.existsSync(file)) { res.writeHead(404); res.end(); return; }
        res.writeHead(200, { "Content-Type": "text/html; charset=utf-8" });
        res.end(fs.readFileSync(file));
    });
    await new Promise(r => server.listen(0, "127.0.0.1", r));
    url = `http://127.0.0.1:${server.address().port}/${path.basename(h.pageFile)}`;
});
after(async () => {
    await browser.close();
    server.close();
});

// The browser's choosers hand out handles from the origin's private folder: the name in rt62Next.
function pickersFromPrivateFolder() {
    const handle = async (create) => (await navigator.storage.getDirectory()).getFileHandle(window.rt62Next, { create });
    window.showOpenFilePicker = async () => [await handle(false)];
    window.showSaveFilePicker = async () => handle(true);
}
const recent = (page) => page.$$eval("#recent button", bs => bs.map(b => (b.disabled ? "-" : "") + b.textContent));
const titled = (page, name) => page.waitForFunction(n => document.getElementById("title").textContent === n, {}, name);
async function choose(page, command, name) {
    await page.evaluate((c, n) => { window.rt62Next = n; document.getElementById(c).click(); }, command, name);
}
async function openFromList(page, position, name) {
    await page.evaluate(p => document.querySelectorAll("#recent button")[p].click(), position);
    if (!name) return;
    await titled(page, name);
    await page.waitForFunction(n => document.querySelector("#recent button").textContent === "1 " + n, {}, name);
}
const stored = (page, name) => page.evaluate(async n => {
    const file = await (await (await navigator.storage.getDirectory()).getFileHandle(n)).getFile();
    return Array.from(new Uint8Array(await file.arrayBuffer()));
}, name);

test("recent files: open, save and reopen from the list, newest first, the same file once, four kept", async () => {
    let page = await h.openPage(browser, { fakeSerial: false, url, before: pickersFromPrivateFolder });
    assert.deepEqual(await recent(page), ["-Recent File"]);
    const sources = { "a.R62": "default_vhf1.r62", "b.R62": "default_uhf1.r62", "c.R62": "default_vhf2.r62",
                      "d.R62": "default_uhf2.r62" };
    await page.evaluate(async files => {
        const dir = await navigator.storage.getDirectory();
        for (const [name, bytes] of files) {
            const w = await (await dir.getFileHandle(name, { create: true })).createWritable();
            await w.write(new Uint8Array(bytes));
            await w.close();
        }
    }, Object.entries(sources).map(([n, s]) => [n, Array.from(fs.readFileSync(path.join(h.corpus, s)))]));

    await choose(page, "cmd-open", "a.R62");
    await titled(page, "a.R62");
    const gridOfA = await h.gridCells(page);
    assert.deepEqual(await recent(page), ["1 a.R62"]);
    // Save As writes into the chosen file and puts it first.
    await choose(page, "cmd-save-as", "s.R62");
    await titled(page, "s.R62");
    await page.waitForFunction(() => document.querySelectorAll("#recent button").length === 2);
    assert.deepEqual(await recent(page), ["1 s.R62", "2 a.R62"]);
    assert.deepEqual(await stored(page, "s.R62"), await page.evaluate(() => Array.from(window.rt62LastSaved.bytes)));
    for (const name of ["b.R62", "c.R62", "a.R62", "d.R62"]) {
        await choose(page, "cmd-open", name);
        await titled(page, name);
    }
    await page.waitForFunction(() => document.querySelector("#recent button").textContent === "1 d.R62");
    assert.deepEqual(await recent(page), ["1 d.R62", "2 a.R62", "3 c.R62", "4 b.R62"]);
    const gridOfD = await h.gridCells(page);

    // From the list: the file opens and moves first; the list outlives the page.
    await openFromList(page, 3, "b.R62");
    assert.deepEqual(await recent(page), ["1 b.R62", "2 d.R62", "3 a.R62", "4 c.R62"]);
    await page.close();
    page = await h.openPage(browser, { fakeSerial: false, url, before: pickersFromPrivateFolder });
    assert.deepEqual(await recent(page), ["1 b.R62", "2 d.R62", "3 a.R62", "4 c.R62"]);
    await openFromList(page, 2, "a.R62");
    assert.deepEqual(await h.gridCells(page), gridOfA);
    await openFromList(page, 2, "d.R62");
    assert.deepEqual(await h.gridCells(page), gridOfD);
    assert.deepEqual(await recent(page), ["1 d.R62", "2 a.R62", "3 b.R62", "4 c.R62"]);

    // A file that is gone leaves the list.
    await page.evaluate(async () => (await navigator.storage.getDirectory()).removeEntry("b.R62"));
    await openFromList(page, 2, null);
    await page.waitForFunction(() => document.querySelectorAll("#recent button").length === 3);
    assert.deepEqual(await recent(page), ["1 d.R62", "2 a.R62", "3 c.R62"]);
    assert.equal(await page.$eval("#title", t => t.textContent), "d.R62");
    assert.deepEqual(page.errors || [], []);
    await page.close();

    // Without the browser's file access there is no list.
    page = await h.openPage(browser, { fakeSerial: false, url, before: () => { delete window.showOpenFilePicker; } });
    assert.equal(await page.$eval("#recent", e => e.hidden), true);
    await page.close();
});
