// What the browser tests share: Chromium, the page from disk with the stand-in port, and the page's
// message box, grid and file inputs as a user meets them.
"use strict";
const fs = require("fs");
const os = require("os");
const path = require("path");
const puppeteer = require("puppeteer-core");

const pageFile = process.env.RT62M_WEB_PAGE;
const corpus = path.join(__dirname, "..", "..", "fuzz", "corpus", "fuzz_datafile");
const data = process.env.RT62M_TEST_DATA || path.join(__dirname, "..", "data");
const golden = path.join(data, "cli");
const fakeSource = fs.readFileSync(process.env.RT62M_FAKE_RADIO, "utf8") + "\n" +
                   fs.readFileSync(path.join(__dirname, "fake_serial.js"), "utf8");

function launch() {
    return puppeteer.launch({
        executablePath: process.env.RT62M_CHROMIUM || "/usr/bin/chromium",
        headless: true,
        args: ["--no-sandbox", "--disable-gpu"],
    });
}

// The page from disk, with the stand-in port unless told otherwise; every request it makes is kept.
async function openPage(browser, { fakeSerial = true, noSerial = false, languages = null, scheme = null, url = null, before = null } = {}) {
    const page = await browser.newPage();
    page.requests = [];
    page.on("request", r => page.requests.push(r.url()));
    page.on("pageerror", e => { page.errors = (page.errors || []).concat(String(e)); });
    if (scheme) await page.emulateMediaFeatures([{ name: "prefers-color-scheme", value: scheme }]);
    if (languages)
        await page.evaluateOnNewDocument(l => Object.defineProperty(Navigator.prototype, "languages", { get: () => l }), languages);
    if (fakeSerial) await page.evaluateOnNewDocument(fakeSource);
    if (noSerial) await page.evaluateOnNewDocument(() => { delete Navigator.prototype.serial; });
    if (before) await page.evaluateOnNewDocument(before);
    await page.goto(url || "file://" + pageFile);
    await page.waitForSelector("body[data-ready=true]", { timeout: 10000 });
    return page;
}

const gridCells = (page) => page.$$eval("#grid tbody tr", rows =>
    rows.map(r => [...r.cells].map(c => c.textContent)));
const goldenCells = (name) => fs.readFileSync(path.join(golden, name), "utf8").trimEnd().split("\n")
    .map(l => l.split("\t"));

// Waits for the message box, answers it with the button labelled answer, returns its text.
async function answerMessage(page, answer = "OK", timeout = 20000) {
    await page.waitForSelector("#message[open]", { timeout });
    const [textOf, shown] = await page.$eval("#message", e => [e.querySelector("p").textContent, e.dataset.shown]);
    const clicked = await page.evaluate(a => {
        const b = [...document.querySelectorAll("#message-buttons button")].find(e => e.textContent === a);
        if (b) b.click();
        return !!b;
    }, answer);
    if (!clicked) throw new Error(`no ${answer} for "${textOf}"`);
    // Closed, or already showing the next message.
    await page.waitForFunction(s => { const d = document.getElementById("message"); return !d.open || d.dataset.shown !== s; },
                               {}, shown);
    return textOf;
}

async function setFile(page, selector, file) {
    const input = await page.$(selector);
    await input.uploadFile(file);
}
const openFile = (page, file) => setFile(page, "#cmd-open", file);

// Chooses the stand-in port under "Port", as a user picks it in the browser's chooser.
async function chooseFakePort(page) {
    await page.select("#port", "choose");
    await page.waitForFunction(() => document.getElementById("port").value === "port:0");
}

// What the page hands the browser as a download: name and bytes.
async function catchDownloads(page) {
    await page.evaluate(() => {
        window.rt62Downloads = [];
        HTMLAnchorElement.prototype.click = function () {
            const name = this.download;
            window.rt62Downloads.push(fetch(this.href).then(r => r.arrayBuffer())
                .then(b => ({ name, bytes: Array.from(new Uint8Array(b)) })));
        };
    });
}
async function downloads(page, count = 1) {
    await page.waitForFunction(n => window.rt62Downloads.length >= n, {}, count);
    return page.evaluate(() => Promise.all(window.rt62Downloads));
}

function isLocal(url) { return /^(file|data|blob):/.test(url); }

module.exports = { fs, path, os, pageFile, corpus, data, golden, launch, openPage, gridCells, goldenCells,
                   answerMessage, setFile, openFile, chooseFakePort, catchDownloads, downloads, isLocal };
