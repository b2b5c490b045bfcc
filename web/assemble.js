// Puts the page together as one file: the template with its style sheet, scripts and both core modules
// written in place (each module's WebAssembly gzipped, as base64 text), so the page needs no other file.
// Usage: node assemble.js WEB_SOURCE_DIR PAGE_MODULE.js WORKER_MODULE.js OUTPUT.html
"use strict";
const fs = require("fs");
const path = require("path");
const zlib = require("zlib");

const [dir, pageModule, workerModule, output] = process.argv.slice(2);
const read = (file) => fs.readFileSync(file, "utf8");
// Text inside a script element must not close it early.
const inScript = (js) => {
    if (/<\/script/i.test(js)) throw new Error("a script holds </script");
    return js;
};
const packed = (moduleJs) => zlib.gzipSync(fs.readFileSync(moduleJs.replace(/\.js$/, ".wasm")), { level: 9 }).toString("base64");
const parts = {
    PAGE_WASM: packed(pageModule),
    WORKER_WASM: packed(workerModule),
    STYLE: read(path.join(dir, "page", "page.css")),
    WORKER: inScript(read(workerModule) + "\n" + read(path.join(dir, "worker", "worker.js"))),
    PAGE_MODULE: inScript(read(pageModule)),
    PAGE: inScript(read(path.join(dir, "page", "serial_link.js")) + "\n" + read(path.join(dir, "page", "page.js"))),
};
let html = read(path.join(dir, "page", "page.html"));
for (const [name, text] of Object.entries(parts)) {
    const marker = `/*@${name}@*/`;
    if (!html.includes(marker)) throw new Error("no " + marker + " in the template");
    html = html.replace(marker, () => text);
}
fs.writeFileSync(output, html);
