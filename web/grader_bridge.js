// The player's own C++ compiled to WebAssembly: its codec, its package reader and its
// grader. Texts cross as Windows-1252 bytes of at most 259 characters, as the player holds
// them; the verdicts come back as the player's own Windows-1252 words.
// A module this small compiles at once on the page's own thread where the browser allows
// it; otherwise it is compiled in the background.
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
  var words = new Map(); // the module's constant texts (verdicts), read once each

  // Views are made afresh for every call: the module's memory may have grown since.
  function put(at, text) {
    var view = new Uint8Array(memory.buffer, at, capacity);
    view[encodeCp1252Into(text, view, capacity - 1)] = 0;
  }
  function textAt(at) {
    var bytes = new Uint8Array(memory.buffer, at);
    var end = bytes.indexOf(0);
    return decodeCp1252(bytes.subarray(0, end < 0 ? 0 : end));
  }
  function wordAt(at) {
    var word = words.get(at);
    if (word === undefined) {
      word = textAt(at);
      words.set(at, word);
    }
    return word;
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

  // The quiz from its packed "PATCH" bytes (package, code table, grading extras; null for
  // one the page does not carry), read inside the module as the player reads them.
  function openQuiz(resources) {
    var size = 0;
    resources.forEach(function (r) { size += r ? r.length : 0; });
    var at = exports.packedBuffer(size);
    var places = [];
    var offset = 0;
    resources.forEach(function (r) {
      if (r && at) {
        new Uint8Array(memory.buffer, at + offset, r.length).set(r);
        places.push(offset, r.length);
        offset += r.length;
      } else {
        places.push(0, -1);
      }
    });
    var messages = textAt(exports.openQuiz.apply(null, places));
    var fieldAt = exports.fieldText();
    var colour = exports.quizNumber(4);
    function hex(v) {
      return (v & 0xff).toString(16).padStart(2, '0');
    }
    return {
      messages: messages.split('\n').filter(function (m) { return m !== ''; }),
      type: exports.quizNumber(0),
      questionCount: exports.quizNumber(1),
      answersPerQuestion: exports.quizNumber(2),
      revealMode: exports.quizNumber(3),
      // COLORREF 0x00BBGGRR; null when the quiz has no colour of its own
      background: exports.quizNumber(5) ? '#' + hex(colour) + hex(colour >> 8) + hex(colour >> 16) : null,
      authorLink: exports.quizNumber(6) === 1 ? textAt(exports.quizText(5)) : null,
      title: textAt(exports.quizText(0)),
      creator: textAt(exports.quizText(1)),
      explanation: textAt(exports.quizText(2)),
      labels: [textAt(exports.quizText(3)), textAt(exports.quizText(4))],
      questionText: function (q) { return textAt(exports.questionText(q)); },
      revealText: function (q) { return textAt(exports.revealText(q)); },
      // Field k (1..N) holding `typed`: its verdict, and whether it holds an accepted form.
      gradeField: function (k, typed) {
        put(fieldAt, typed);
        return wordAt(exports.gradeField(k));
      },
      fieldMatches: function (k, typed) {
        put(fieldAt, typed);
        return exports.fieldMatches(k) === 1;
      },
      codeFor: function (solved) { return textAt(exports.codeText(solved)); }
    };
  }

  // `forms`: an answer's accepted forms, its main one first; `tolerances`: the quiz's bits.
  return {
    grade: function (forms, typed, tolerances) {
      var count = putTexts(forms, typed);
      return wordAt(exports.grade(count, tolerances || 0));
    },
    matches: function (forms, typed, tolerances) {
      var count = putTexts(forms, typed);
      return exports.matches(count, tolerances || 0) === 1;
    },
    openQuiz: openQuiz
  };
}
