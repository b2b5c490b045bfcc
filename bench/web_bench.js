// The browser edition's speed, printed as link_bench prints the link's: Upload and Download over the
// stand-in navigator.serial paced at 4800 baud (from the command to its message box), the time until
// the page shows the grid when opened from disk, and the page's size; medians of several runs.
// Usage (after scripts/web-build.sh): node bench/web_bench.js [RUNS]
"use strict";
const path = require("path");
const web = path.join(__dirname, "..", "tests", "web");
process.env.RT62M_WEB_PAGE ||= path.join(__dirname, "..", "build-web", "RT62MWeb.html");
process.env.RT62M_FAKE_RADIO ||= path.join(__dirname, "..", "build-web", "bin", "fake_radio.js");
module.paths.unshift(path.join(web, "node_modules"));
const h = require(path.join(web, "helpers.js"));

const median = (v) => v.slice().sort((a, b) => a - b)[Math.floor(v.length / 2)];
const kinds = [["upload", 2, 258], ["download", 260, 259]];

(async () => {
    const runs = Number(process.argv[2] || 5);
    const browser = await h.launch();
    const grid = [], wall = { upload: [], download: [] };
    const image = Array.from(h.fs.readFileSync(path.join(h.corpus, "options_all.r62")).subarray(0, 254));
    for (let i = 0; i < runs; ++i) {
        const page = await h.openPage(browser);
        grid.push(await page.evaluate(() => performance.getEntriesByName("rt62-grid")[0].startTime));
        await h.chooseFakePort(page);
        await page.evaluate(i => rt62Fake.reset(i), image);
        for (const [kind] of kinds) {
            const ms = page.evaluate(kind => new Promise(resolve => {
                const t0 = performance.now(), box = document.getElementById("message");
                new MutationObserver((_, o) => { if (box.open) { o.disconnect(); resolve(performance.now() - t0); } })
                    .observe(box, { attributes: true });
                Rt62Page.transfer(kind);
            }), kind);
            wall[kind].push(await ms);
            await h.answerMessage(page);
            await page.waitForSelector("#progress-box[hidden]");
        }
        await page.close();
    }
    await browser.close();
    for (const [kind, host, radio] of kinds) {
        const wire = (host + radio) * 11 * 1000 / 4800, ms = median(wall[kind]);
        console.log(`${kind.padEnd(9)} characters ${host + radio} (computer ${host}, radio ${radio})  ` +
                    `wire ${wire.toFixed(1)} ms  wall ${ms.toFixed(1)} ms  ratio ${(ms / wire).toFixed(3)}`);
    }
    console.log(`grid      shown ${median(grid).toFixed(0)} ms after the page was opened from disk`);
    console.log(`page      RT62MWeb.html ${h.fs.statSync(h.pageFile).size} bytes`);
    console.log(`(medians of ${runs} runs; load average ${require("os").loadavg()[0].toFixed(1)})`);
})();
