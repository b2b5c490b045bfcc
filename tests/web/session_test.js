// The page over the session in headless Chromium: the grid edited by keyboard and clipboard with undo,
// Verify and the backups, the text forms, the report and the dump, and the page's language, colours
// and zoom.
"use strict";
const { test, before, after } = require("node:test");
const assert = require("node:assert/strict");
const h = require("./helpers.js");
const { fs, path } = h;

const scratch = fs.mkdtempSync(path.join(h.os.tmpdir(), "rt62mweb-"));
let browser;
before(async () => { browser = await h.launch(); });
after(async () => {
    await browser.close();
    fs.rmSync(scratch, { recursive: true, force: true });
});

const cell = (page, n, c) => page.$eval(`#grid tbody tr:nth-child(${n + 1}) td:nth-child(${c + 1})`, td => td.textContent);
const clickCell = (page, n, c) => page.click(`#grid tbody tr:nth-child(${n + 1}) td:nth-child(${c + 1})`);
const beeps = (page) => page.evaluate(() => Number(document.body.dataset.beeps || 0));
const undoTitle = (page) => page.$eval("#cmd-undo", b => b.title);
async function pasteText(page, text) {
    await page.evaluate(t => {
        const dt = new DataTransfer();
        dt.setData("text/plain", t);
        document.activeElement.dispatchEvent(new ClipboardEvent("paste", { clipboardData: dt, bubbles: true }));
    }, text);
}
// Picks position in the open pick list and returns the item's text.
async function pick(page, position) {
    await page.waitForSelector("#pick[open]");
    const item = await page.$eval("#pick-list", (l, p) => { l.selectedIndex = p; return l.options[p].text; }, position);
    await page.click("#pick-ok");
    await page.waitForSelector("#pick:not([open])");
    return item;
}

test("the grid by keyboard and clipboard, with undo and redo of every change, saved as the desktop saves", async () => {
    const page = await h.openPage(browser, { fakeSerial: false });
    await h.openFile(page, path.join(h.corpus, "default_vhf1.r62"));
    await page.waitForFunction(() => document.getElementById("title").textContent.startsWith("default_vhf1"));
    const original = await h.gridCells(page);

    // Receive of channel 3: typed digits only, Enter stores, Escape leaves the cell as it was.
    await clickCell(page, 2, 2);
    await page.keyboard.type("14x6.52");
    assert.equal(await page.$eval("#grid td input", i => i.getAttribute("aria-label")), "Channel 3 Receive");
    await page.keyboard.press("Enter");
    assert.equal(await cell(page, 2, 2), "146.52000");
    assert.match(await undoTitle(page), /Edit Ch 3 Receive/);
    await page.keyboard.press("ArrowDown");
    await page.keyboard.type("1");
    await page.keyboard.press("Escape");
    assert.equal(await cell(page, 3, 2), original[3][2]);

    // Space toggles W/N; Enter on a Dec without a tone beeps; Space gives it a CTCSS tone, Enter picks one.
    await clickCell(page, 2, 1);
    await page.keyboard.press(" ");
    assert.notEqual(await cell(page, 2, 1), original[2][1]);
    await page.keyboard.press("ArrowRight");
    await page.keyboard.press("ArrowRight");
    await page.keyboard.press("ArrowRight");
    const beepsBefore = await beeps(page);
    assert.match(await cell(page, 2, 4), /^-+$/);
    await page.keyboard.press("Enter");
    assert.equal(await beeps(page), beepsBefore + 1);
    await page.keyboard.press(" ");
    await page.keyboard.press("Enter");
    const tone = await pick(page, 5);
    assert.ok((await cell(page, 2, 4)).includes(tone.trim()), tone);
    // Enc to DCS, then F3 complements its code.
    await page.keyboard.press("ArrowRight");
    await page.keyboard.press(" ");
    await page.keyboard.press(" ");
    const dcs = await cell(page, 2, 5);
    await page.keyboard.press("F3");
    assert.notEqual(await cell(page, 2, 5), dcs);
    assert.match(await undoTitle(page), /Complement Ch 3/);

    // Paste: a frequency by the column's rule, a text it refuses (a beep), a channel copy after the question.
    await clickCell(page, 4, 2);
    await pasteText(page, "147.1");
    assert.equal(await cell(page, 4, 2), "147.10000");
    const beforeRefused = await beeps(page);
    await pasteText(page, "abc");
    assert.equal(await beeps(page), beforeRefused + 1);
    assert.equal(await cell(page, 4, 2), "147.10000");
    await clickCell(page, 6, 0);
    await pasteText(page, "3");
    assert.match(await h.answerMessage(page, "Yes"), /^Do you copy Ch3 data to Ch +7\?/);
    const rows = await h.gridCells(page);
    assert.deepEqual(rows[6].slice(1), rows[2].slice(1));
    // Copy gives the cell's text.
    const copied = await page.evaluate(() => {
        const dt = new DataTransfer();
        document.activeElement.dispatchEvent(new ClipboardEvent("copy", { clipboardData: dt, bubbles: true }));
        return dt.getData("text/plain");
    });
    assert.equal(copied, rows[6][0]);

    // Every step undone gives back the file as opened; every step redone the edits again.
    const edited = await h.gridCells(page);
    let steps = 0;
    while (!(await page.$eval("#cmd-undo", b => b.disabled))) { await page.keyboard.down("Control"); await page.keyboard.press("z"); await page.keyboard.up("Control"); ++steps; }
    assert.ok(steps >= 7, String(steps));
    assert.deepEqual(await h.gridCells(page), original);
    assert.equal(await page.$eval("#title", t => t.textContent), "default_vhf1.r62");
    for (let i = 0; i < steps; ++i) await page.click("#cmd-redo");
    assert.deepEqual(await h.gridCells(page), edited);

    // Save: the bytes the desktop writes for the same document (rt62m imports the page's YAML).
    await h.catchDownloads(page);
    await page.click("#cmd-save");
    const [saved] = await h.downloads(page);
    assert.equal(saved.name, "default_vhf1.r62");
    assert.equal(saved.bytes.length, 262);
    if (process.env.RT62M_CLI) {
        const yaml = path.join(scratch, "edited.yaml"), out = path.join(scratch, "edited.r62");
        fs.writeFileSync(yaml, await page.evaluate(() => Rt62Page.doc.exportText(0)));
        require("child_process").execFileSync(process.env.RT62M_CLI, ["import", yaml, "-o", out]);
        assert.deepEqual(saved.bytes, Array.from(fs.readFileSync(out)));
    }
    assert.equal(await page.$eval("#title", t => t.textContent), "default_vhf1.r62");
    assert.equal(page.errors, undefined);
    await page.close();
});

test("service mode opens the hardware and marketing values, and a band change is asked first", async () => {
    const page = await h.openPage(browser, { fakeSerial: false });
    await page.click("#cmd-settings");
    const band = "#field-radio-band", serial = "#field-radio-serial_number";
    assert.deepEqual(await page.$$eval([band, serial, "#field-hardware-ref_xtal"].join(","), f => f.map(e => e.disabled)),
                     [true, true, true]);
    assert.doesNotMatch(await page.title(), /\(M\)/);

    // A wrong password leaves everything closed, with a beep.
    const beeps = () => page.evaluate(() => Number(document.body.dataset.beeps || 0));
    const before = await beeps();
    const enter = async (password) => {
        await page.click("#cmd-service");
        await page.waitForSelector("#password[open]");
        await page.type("#password-text", password);
        await page.keyboard.press("Enter");
        await page.waitForSelector("#password:not([open])");
    };
    await enter("melto-vari");
    assert.equal(await beeps(), before + 1);
    assert.equal(await page.$eval(band, f => f.disabled), true);
    // Letters count in any case, as the window takes them.
    await enter("MELTO-Varis");
    assert.equal(await page.$("#cmd-service"), null);
    assert.equal(await page.$eval(band, f => f.disabled), false);
    assert.match(await page.title(), /RT62MWin for KT-905 \(M\)$/);

    const pick = async (answer) => {
        await page.select(band, "UHF");
        assert.match(await h.answerMessage(page, answer), /^Change frequency band\?/);
    };
    await pick("No");
    assert.equal(await page.$eval(band, f => f.value), "VHF");
    assert.doesNotMatch(await page.$eval("#title", e => e.textContent), /\*$/);
    await pick("Yes");
    await page.waitForFunction(s => document.querySelector(s).value === "UHF", {}, band);
    assert.equal(await page.$eval("#cmd-undo", b => b.title), "Undo Hardware");
    await page.close();
});

test("Verify reads the radio and lists what differs; every image read is kept as a backup", async () => {
    const page = await h.openPage(browser, { fakeSerial: false });
    await page.evaluate(() => localStorage.removeItem("rt62m.backups"));
    const job = page.evaluate(() => Rt62Page.transfer("download").then(m => Array.from(m.image)));
    assert.equal(await h.answerMessage(page, "OK", 30000), "Download is completed");
    const radio = await job;

    await clickCell(page, 2, 2);
    await page.keyboard.type("150.5");
    await page.keyboard.press("Enter");
    page.evaluate(() => { Rt62Page.transfer("verify"); });
    assert.equal(await h.answerMessage(page, "OK", 30000), "Upload is completed");
    await page.waitForSelector("#sheet:not([hidden])");
    const lines = await page.$$eval("#sheet-body li", l => l.map(e => e.textContent));
    assert.ok(lines.some(l => l.startsWith("channels[3].receive")), lines.join("\n"));
    assert.equal(await page.$eval("#grid tbody tr:nth-child(3) td:nth-child(3)", td => td.classList.contains("differs")), true);
    await page.click("#sheet-close");

    // The download's verifying read and Verify's read, newest first, each a data file of what the radio held.
    await page.click("#cmd-backups");
    const names = await page.$$eval("#sheet-body a", a => a.map(e => e.download));
    assert.equal(names.length, 2);
    for (const n of names) assert.match(n, /^\d{8}-\d{6}(-\d+)?-.*\.r62$/);
    const backup = await page.evaluate(() => fetch(document.querySelector("#sheet-body a").href)
        .then(r => r.arrayBuffer()).then(b => Array.from(new Uint8Array(b))));
    assert.equal(backup.length, 262);
    assert.deepEqual(backup.slice(0, 254), radio);
    await page.close();
});

test("YAML and CSV export and import, refused texts, and the comparison with a file", async () => {
    const page = await h.openPage(browser, { fakeSerial: false });
    await h.openFile(page, path.join(h.corpus, "options_all.r62"));
    await page.waitForFunction(() => document.getElementById("title").textContent.startsWith("options_all"));
    const opened = await h.gridCells(page);
    await h.catchDownloads(page);
    await page.click("#cmd-export");
    await page.select("#text-kind", "1");
    await page.click("#cmd-export");
    const [yaml, csv] = await h.downloads(page);
    assert.equal(yaml.name, "options_all.yaml");
    assert.equal(csv.name, "options_all.csv");
    const yamlText = Buffer.from(yaml.bytes).toString();
    assert.match(yamlText, /^format: rt62m-1/m);

    // Refused: the problems in one message, the document untouched.
    const bad = path.join(scratch, "bad.yaml");
    fs.writeFileSync(bad, yamlText.replace(/receive: "[0-9.]+"/, "receive: \"999.5\""));
    await h.setFile(page, "#cmd-import", bad);
    assert.match(await h.answerMessage(page), /^The file was not imported:\s+line \d+, column \d+: channels\[1\]\.receive: 999\.5 is outside/);
    assert.deepEqual(await h.gridCells(page), opened);

    // The YAML text on a new document gives the same grid; a CSV row that is no channel is skipped and said.
    await page.click("#cmd-new");
    const good = path.join(scratch, "good.yaml");
    fs.writeFileSync(good, yamlText);
    await h.setFile(page, "#cmd-import", good);
    await page.waitForFunction(() => document.getElementById("title").textContent.includes("*"));
    assert.deepEqual(await h.gridCells(page), opened);
    const rows = path.join(scratch, "rows.csv");
    fs.writeFileSync(rows, Buffer.from(csv.bytes).toString() + "99" + ",".repeat(16) + "\n");
    await h.setFile(page, "#cmd-import", rows);
    // The imported YAML is in no file yet: the window's question first.
    assert.equal(await h.answerMessage(page, "No"), "Save changes to <none>?");
    assert.match(await h.answerMessage(page), /^16 channels imported, 1 row skipped\. These rows were skipped:\s+row 18/);

    // The document against another file, and against something that is no data file.
    await h.setFile(page, "#cmd-compare", path.join(h.corpus, "default_vhf1.r62"));
    await page.waitForSelector("#sheet:not([hidden])");
    assert.match(await page.$eval("#sheet-title", e => e.textContent), /default_vhf1\.r62/);
    assert.ok((await page.$$("#sheet-body li")).length > 10);
    await page.click("#sheet-close");
    const junk = path.join(scratch, "junk.r62");
    fs.writeFileSync(junk, "no data");
    await h.setFile(page, "#cmd-compare", junk);
    assert.match(await h.answerMessage(page), /^The file cannot be compared/);
    await page.close();
});

test("the report on one printed page and the dump, as rt62m prints them", async () => {
    const page = await h.openPage(browser, { fakeSerial: false });
    await h.openFile(page, path.join(h.corpus, "default_vhf1.r62"));
    await page.waitForFunction(() => document.getElementById("title").textContent.startsWith("default_vhf1"));
    await page.click("#cmd-report");
    const report = (await page.$eval("#sheet-body pre", p => p.textContent)).split("\n");
    const want = fs.readFileSync(path.join(h.golden, "report_vhf1.txt"), "utf8").trimEnd().split("\n");
    assert.equal(report.length, want.length);
    report.forEach((line, i) => { if (!want[i].includes("File Name:")) assert.equal(line.trimEnd(), want[i].trimEnd(), `line ${i + 1}`); });
    // Printed, the report alone fits inside an A4 or Letter page's margins (96 CSS pixels an inch).
    await page.emulateMediaType("print");
    const box = await page.evaluate(() => {
        const r = document.getElementById("sheet").getBoundingClientRect();
        return { width: document.querySelector("#sheet pre").scrollWidth, height: r.height,
                 grid: document.querySelector("main").offsetParent !== null };
    });
    await page.emulateMediaType(null);
    assert.ok(box.height <= (11 - 24 / 25.4) * 96 && box.width <= (210 - 24) / 25.4 * 96, JSON.stringify(box));
    assert.equal(box.grid, false);
    await page.click("#sheet-close");

    await page.click("#cmd-dump");
    const dump = await page.$$eval("#sheet-body tr", rows => rows.map(r => [...r.cells].map(c => c.textContent).join("\t")));
    const wantDump = fs.readFileSync(path.join(h.golden, "dump_vhf1.txt"), "utf8").trimEnd().split("\n");
    assert.deepEqual(dump.map(l => l.trimEnd()), wantDump.map(l => l.trimEnd()));
    await page.close();
});

// WCAG's contrast ratio of two "rgb(r, g, b)" colours.
function contrast(a, b) {
    const lum = (c) => {
        const [r, g, bl] = c.match(/\d+(\.\d+)?/g).slice(0, 3).map(Number).map(v => v / 255)
            .map(v => v <= 0.03928 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4);
        return 0.2126 * r + 0.7152 * g + 0.0722 * bl;
    };
    const [x, y] = [lum(a), lum(b)].sort((p, q) => q - p);
    return (x + 0.05) / (y + 0.05);
}

test("the page in the browser's language, legible in both schemes and at 200 %, every control named", async () => {
    const german = await h.openPage(browser, { fakeSerial: false, languages: ["de-DE", "en-US"] });
    assert.equal(await german.$eval("html", e => e.lang), "de");
    assert.notEqual(await german.$eval("#grid", g => g.getAttribute("aria-label")), "Channels");
    assert.notEqual(await german.$eval("#cmd-save", b => b.textContent), "Save");
    await german.close();

    for (const scheme of ["light", "dark"]) {
        const page = await h.openPage(browser, { fakeSerial: false, scheme });
        await page.evaluate(() => { document.querySelector("#grid tbody tr:nth-child(2)").cells[2].classList.add("differs"); });
        const pairs = await page.evaluate(() => {
            const solid = (e) => {
                for (; e; e = e.parentElement) {
                    const b = getComputedStyle(e).backgroundColor;
                    if (!/rgba\(.*, 0\)$/.test(b) && b !== "transparent") return b;
                }
                return "rgb(255, 255, 255)";
            };
            return [...document.querySelectorAll("h1, th, td, button, select, label, #grid td.differs")]
                .filter(e => e.offsetParent !== null)
                .map(e => [e.id || e.tagName, getComputedStyle(e).color, solid(e)]);
        });
        for (const [what, fg, bg] of pairs) assert.ok(contrast(fg, bg) >= 4.5, `${scheme} ${what}: ${fg} on ${bg}`);
        await page.close();
    }

    // 200 %: a 1280-pixel window shows the page 640 CSS pixels wide; nothing runs off the page sideways.
    const zoomed = await h.openPage(browser, { fakeSerial: false });
    await zoomed.setViewport({ width: 640, height: 400, deviceScaleFactor: 2 });
    assert.ok(await zoomed.evaluate(() => document.documentElement.scrollWidth <= innerWidth + 1));
    assert.ok(await zoomed.evaluate(() => [...document.querySelectorAll("#commands button, #commands select, #commands label")]
        .every(e => e.getBoundingClientRect().right <= innerWidth + 1)));

    // Every control has a name a screen reader says.
    const tree = await zoomed.accessibility.snapshot({ interestingOnly: false });
    const unnamed = [];
    (function walk(n) {
        if (["button", "combobox", "textbox", "checkbox", "grid", "listbox"].includes(n.role) && !n.name) unnamed.push(n.role);
        for (const c of n.children || []) walk(c);
    })(tree);
    assert.deepEqual(unnamed, []);
    await zoomed.close();
});

test("Program Fleet of four over the simulated radios, the log offered as CSV and kept for the next run", async () => {
    const page = await h.openPage(browser, { fakeSerial: false });
    await page.evaluate(() => localStorage.removeItem("rt62m.fleetlog"));
    await page.click("#cmd-fleet");
    assert.equal(await page.$eval("#fleet-title", e => e.textContent), "Program Fleet");
    await page.$eval("#fleet-start", e => { e.value = "A100"; });
    await page.click("#fleet-run");
    // The third radio of the line has another band: the window's message, then the run goes on.
    assert.equal(await h.answerMessage(page, "OK", 60000), "Hardware configuration mismatched! Radio 1F000003 is skipped.");
    await page.waitForFunction(() => !document.getElementById("fleet-log").hidden, { timeout: 60000 });
    const rows = await page.$$eval("#fleet-radios tbody tr", r => r.map(tr => [...tr.cells].map(c => c.textContent)));
    assert.deepEqual(rows, [["1", "1F000001", "A100", "programmed"], ["2", "1F000002", "A101", "programmed"],
                            ["3", "1F000003", "", "hardware differs"], ["4", "1F000004", "A102", "programmed"]]);
    assert.equal(await page.$eval("#fleet-status", e => e.textContent), "3 of 4 radios programmed.");
    const log = await page.$eval("#fleet-log", a => fetch(a.href).then(r => r.text()));
    const lines = log.trimEnd().split(/\r?\n/);
    assert.equal(lines[0], "time,serial_number,ani_code,result,backup_file");
    assert.equal(lines.length, 5);
    assert.equal(await page.evaluate(() => localStorage.getItem("rt62m.fleetlog")), log);
    await page.close();
});

test("the radio-wide settings as the window's dialogs, with their refusals, saved as the desktop saves", async () => {
    const page = await h.openPage(browser, { fakeSerial: false });
    await page.click("#cmd-settings");
    const select = "#field-scanning-dual_watch";
    assert.deepEqual(await page.$eval(select, s => [s.value, [...s.options].map(o => o.value)]), ["Disabled", ["Disabled", "Enabled"]]);
    await page.select(select, "Enabled");
    await page.waitForFunction(() => document.getElementById("title").textContent.endsWith("*"));
    assert.equal(await page.$eval(select, s => s.value), "Enabled");
    assert.match(await page.evaluate(() => Rt62Page.doc.exportText(0)), /dual_watch: Enabled/);

    // The dialogs' titles and labels, in menu order.
    const legends = await page.$$eval("#sheet-body legend", l => l.map(e => e.textContent));
    assert.equal(legends.length, 13);
    assert.deepEqual(legends.slice(0, 3), ["Hardware Parameters", "Option Parameter", "Scanning Parameters"]);
    assert.equal(await page.$eval(`label[for="${select.slice(1)}"]`, l => l.textContent), "Dual Watch");

    // A free-form field refuses a text it cannot hold with its message, and keeps its value.
    const code = "#field-ani-dtmf_code";
    const before = await page.$eval(code, i => i.value);
    await page.$eval(code, i => { i.value = "\u00e9\u00e9\u00e9\u00e9"; i.dispatchEvent(new Event("change")); });
    assert.match(await h.answerMessage(page), /: /);
    assert.equal(await page.$eval(code, i => i.value), before);

    await page.click("#sheet-close");
    if (process.env.RT62M_CLI) {
        await h.catchDownloads(page);
        await page.click("#cmd-save");
        // A new document is the default file: the window's question before it is written.
        assert.match(await h.answerMessage(page, "Yes"), /default/i);
        const [saved] = await h.downloads(page);
        const yaml = path.join(scratch, "settings.yaml"), out = path.join(scratch, "settings.r62");
        fs.writeFileSync(yaml, await page.evaluate(() => Rt62Page.doc.exportText(0)));
        require("child_process").execFileSync(process.env.RT62M_CLI, ["import", yaml, "-o", out]);
        assert.deepEqual(saved.bytes, Array.from(fs.readFileSync(out)));
    }
    // One undo step puts the setting back.
    await page.click("#cmd-undo");
    assert.match(await page.evaluate(() => Rt62Page.doc.exportText(0)), /dual_watch: Disabled/);
    await page.close();
});
