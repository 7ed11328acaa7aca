// Grades answer pairs with the page's own grader code under Node: the page's scripts that
// convert texts to Windows-1252 and call the WebAssembly grader, run as the page runs them.
//   node wasm_grader_node.js WEB_DIR GRADER.wasm PAIRS OUT
// PAIRS holds, for each pair, the expected and the typed text as Windows-1252 bytes, each
// preceded by its length (4 bytes, little-endian). OUT gets one verdict a line, in UTF-8.
'use strict';
const fs = require('fs');
const path = require('path');
const vm = require('vm');

const [webDir, wasmPath, pairsPath, outPath] = process.argv.slice(2);
const page = vm.createContext({});
for (const file of ['text_codec.js', 'page_data.js', 'grader_bridge.js']) {
  const name = path.join(webDir, file);
  vm.runInContext(fs.readFileSync(name, 'utf8'), page, {filename: name});
}

const pairs = fs.readFileSync(pairsPath);
function* texts() {
  for (let at = 0; at < pairs.length;) {
    const length = pairs.readUInt32LE(at);
    yield page.decodeCp1252(pairs.subarray(at + 4, at + 4 + length));
    at += 4 + length;
  }
}

page.loadGrader(new Uint8Array(fs.readFileSync(wasmPath))).then((grader) => {
  const verdicts = [];
  const all = texts();
  for (let expected = all.next(); !expected.done; expected = all.next()) {
    verdicts.push(grader.grade(expected.value, all.next().value));
  }
  fs.writeFileSync(outPath, verdicts.join('\n') + '\n');
}, (error) => {
  console.error('the grader did not load: ' + error);
  process.exit(1);
});
