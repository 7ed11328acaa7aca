// The player's grader, compiled to WebAssembly: texts go in as Windows-1252 bytes of at
// most 259 characters, as the player reads them from its fields, and the verdict comes
// back as the player's own Windows-1252 word.
function noSystemCalls() {
  return 52; // ENOSYS: the grader never calls them; the C library merely links them
}

function loadGrader(wasmBytes) {
  var imports = {
    wasi_snapshot_preview1: {fd_close: noSystemCalls, fd_seek: noSystemCalls, fd_write: noSystemCalls}
  };
  return WebAssembly.instantiate(wasmBytes, imports).then(function (result) {
    return makeGrader(result.instance.exports);
  });
}

function makeGrader(exports) {
  var capacity = exports.textCapacity();
  var memory = exports.memory;
  var expectedAt = exports.expectedText();
  var typedAt = exports.typedText();
  var verdicts = new Map(); // the grader returns one of its ten constant words

  function put(at, text) {
    var view = new Uint8Array(memory.buffer, at, capacity);
    view[encodeCp1252Into(text, view, capacity - 1)] = 0;
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
  return {
    grade: function (expected, typed) {
      put(expectedAt, expected);
      put(typedAt, typed);
      return verdictAt(exports.grade());
    },
    matches: function (expected, typed) {
      put(expectedAt, expected);
      put(typedAt, typed);
      return exports.matches() === 1;
    }
  };
}
