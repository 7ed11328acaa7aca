// Grades typed answers with the page's own grader code under Node: the page's scripts that
// convert texts to Windows-1252 and call the WebAssembly grader, run as the page runs them.
//   node wasm_grader_node.js WEB_DIR GRADER.wasm CASES OUT
// CASES holds, for each case, one byte of tolerances, one byte n, then the n accepted forms
// and the typed text as Windows-1252 bytes, each preceded by its length (4 bytes,
// little-endian). OUT gets one verdict a line, in UTF-8.
'use strict';
const fs = require('fs');
const path = require('path');
const vm = require('vm');

const [webDir, wasmPath, casesPath, outPath] = process.argv.slice(2);
const page = vm.createContext({});
for (const file of ['text_codec.js', 'page_data.js', 'grader_bridge.js']) {
  const name = path.join(webDir, file);
  vm.runInContext(fs.readFileSync(name, 'utf8'), page, {filename: name});
}

const cases = fs.readFileSync(casesPath);
function* readCases() {
  let at = 0;
  const text = () => {
    const length = cases.readUInt32LE(at);
    at += 4 + length;
    return page.decodeCp1252(cases.subarray(at - length, at));
  };
  while (at < cases.length) {
    const tolerances = cases[at];
    const count = cases[at + 1];
    at += 2;
    const forms = [];
    for (let i = 0; i < count; i++) {
      forms.push(text());
    }
    yield {tolerances, forms, typed: text()};
  }
}

page.loadGrader(new Uint8Array(fs.readFileSync(wasmPath))).then((grader) => {
  const verdicts = [];
  for (const c of readCases()) {
    verdicts.push(grader.grade(c.forms, c.typed, c.tolerances));
  }
  fs.writeFileSync(outPath, verdicts.join('\n') + '\n');
}, (error) => {
  console.error('the grader did not load: ' + error);
  process.exit(1);
});
