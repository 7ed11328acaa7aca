// Opens a quiz from its packed resources with the page's own scripts and WebAssembly module
// under Node, as the page does at load, and grades fields of it.
//   node wasm_quiz_node.js WEB_DIR GRADER.wasm PACKAGE CODES EXTRAS FIELDS OUT
// PACKAGE, CODES, EXTRAS: packed resource files, "-" for one the page does not carry.
// FIELDS: lines K<TAB>TYPED, in UTF-8. OUT gets, in UTF-8, the loader's messages joined by
// " / ", the title, the question count, then "verdict<TAB>match" for each field line, then
// the code of each score from 1 to the question count, one a line.
'use strict';
const fs = require('fs');
const path = require('path');
const vm = require('vm');

const [webDir, wasmPath, packagePath, codesPath, extrasPath, fieldsPath, outPath] =
    process.argv.slice(2);
const page = vm.createContext({});
for (const file of ['text_codec.js', 'page_data.js', 'grader_bridge.js']) {
  const name = path.join(webDir, file);
  vm.runInContext(fs.readFileSync(name, 'utf8'), page, {filename: name});
}
const packed = (file) => (file === '-' ? null : new Uint8Array(fs.readFileSync(file)));

page.loadGrader(new Uint8Array(fs.readFileSync(wasmPath))).then((grader) => {
  const quiz = grader.openQuiz([packed(packagePath), packed(codesPath), packed(extrasPath)]);
  const lines = [quiz.messages.join(' / '), quiz.title, String(quiz.questionCount)];
  for (const line of fs.readFileSync(fieldsPath, 'utf8').split('\n').filter((l) => l)) {
    const [k, typed] = line.split('\t');
    lines.push(quiz.gradeField(Number(k), typed) + '\t' + (quiz.fieldMatches(Number(k), typed) ? 1 : 0));
  }
  for (let s = 1; s <= quiz.questionCount; s++) {
    lines.push(quiz.codeFor(s));
  }
  fs.writeFileSync(outPath, lines.join('\n') + '\n');
}, (error) => {
  console.error('the module did not load: ' + error);
  process.exit(1);
});
