// The player's grader, compiled to WebAssembly: texts go in as Windows-1252 bytes of at
// most 259 characters, as the player reads them from its fields, and the verdict comes
// back as the player's own Windows-1252 word.
// The module is a few kilobytes, which browsers compile at once on the page's own thread;
// a larger one would have to be compiled in the background.
function loadGrader(wasmBytes) {
  var instance;
  try {
    instance = new WebAssembly.Instance(new WebAssembly.Module(wasmBytes), {});
  } catch (e) {
    return WebAssembly.instantiate(wasmBytes, {}).then(function (result) {
      return makeGrader(result.instance.exports);
    });
  }
  return Promise.resolve(makeGrader(instance.exports));
}

function makeGrader(exports) {
  if (exports._initialize) {
    exports._initialize();
  }
  var capacity = exports.textCapacity();
  var memory = exports.memory;
  var formsAt = [];
  for (var i = 0; i < exports.maxForms(); i++) {
    formsAt.push(exports.formText(i));
  }
  var typedAt = exports.typedText();
  var verdicts = new Map(); // the grader returns one of its ten constant words

  function put(at, text) {
    var view = new Uint8Array(memory.buffer, at, capacity);
    view[encodeCp1252Into(text, view, capacity - 1)] = 0;
  }
  // The forms (the main answer first) and the typed text into the module; how many forms.
  function putTexts(forms, typed) {
    var count = Math.min(forms.length, formsAt.length);
    for (var i = 0; i < count; i++) {
      put(formsAt[i], forms[i]);
    }
    put(typedAt, typed);
    return count;
  }
  function verdictAt(at) {
    var word = verdicts.get(at);
    if (word === undefined) {
      var bytes = new Uint8Array(memory.buffer, at, capacity);
      word = decodeCp1252(bytes.subarray(0, bytes.indexOf(0)));
      verdicts.set(at, word);
    }
    return word;
  }
  // `forms`: an answer's accepted forms, its main one first; `tolerances`: the quiz's bits.
  return {
    grade: function (forms, typed, tolerances) {
      var count = putTexts(forms, typed);
      return verdictAt(exports.grade(count, tolerances || 0));
    },
    matches: function (forms, typed, tolerances) {
      var count = putTexts(forms, typed);
      return exports.matches(count, tolerances || 0) === 1;
    }
  };
}
