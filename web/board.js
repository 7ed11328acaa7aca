// The question board: every question's controls, grading as the player's fields grade,
// score, codes and reveals, the fields' keys, and the play and stop buttons.
var QUIZ_TEXT = 0;
var QUIZ_PICTURE = 1;
var QUIZ_AUDIO = 2;
var QUIZ_VIDEO = 3;
var BRAVO = 'BRAVO';
var NO_CODE = '      ';
var MAX_TEXT = 259; // what the player reads of a field
var SELECTED_ON_ENTRY = 25;

function element(doc, tag, className, text) {
  var e = doc.createElement(tag);
  if (className) {
    e.className = className;
  }
  if (text !== undefined) {
    e.textContent = text; // quiz texts are only ever text, never markup
  }
  return e;
}

// The colour class of a verdict label, from its text as the player paints it.
function verdictClass(word) {
  if (word === 'Anagramme') {
    return 'verdict verdict-anagram';
  }
  if (word === BRAVO) {
    return 'verdict verdict-bravo';
  }
  if (word === 'FAUX') {
    return 'verdict verdict-wrong';
  }
  if (word === '?') {
    return 'verdict';
  }
  return 'verdict verdict-hint';
}

function createBoard(win, doc, quiz, grader, mediaUrls) {
  var perQuestion = quiz.answersPerQuestion === 2 ? 2 : 1;
  var questions = quiz.questions;
  var count = questions.length;
  var fieldCount = count * perQuestion;
  var fields = [];
  var verdictLabels = [];
  var verdicts = [];
  var revealLabels = [];
  var pictures = [];
  var revealPictures = [];
  var players = [];
  var scoreBox = doc.getElementById('score');
  var codeBox = doc.getElementById('code');
  var hasRevealLabels = quiz.type === QUIZ_PICTURE && quiz.revealMode >= 2 && quiz.revealMode <= 4;
  var tolerances = quiz.tolerances || 0;
  var onAnswersChanged = function () {};

  function questionOf(k) {
    return Math.floor((k - 1) / perQuestion) + 1;
  }
  // The accepted forms of field k: its answer, then the other forms the quiz gives it.
  function formsOf(k) {
    var question = questions[questionOf(k) - 1];
    var a = (k - 1) % perQuestion;
    var others = question.forms && question.forms[a];
    return [question.answers[a] || ''].concat(others || []);
  }
  function typedOf(k) {
    return fields[k - 1].value.slice(0, MAX_TEXT);
  }

  function refreshScore() {
    var solved = 0;
    for (var q = 1; q <= count; q++) {
      var bravos = 0;
      for (var a = 1; a <= perQuestion; a++) {
        if (verdicts[(q - 1) * perQuestion + a - 1] === BRAVO) {
          bravos++;
        }
      }
      if (bravos === perQuestion) {
        solved++;
      }
    }
    var score = ' ' + solved + ' / ' + count;
    if (scoreBox.textContent !== score) {
      scoreBox.textContent = score;
    }
    var code = solved >= 1 ? quiz.codes[solved - 1] || '' : NO_CODE;
    if (codeBox.textContent !== code) {
      codeBox.textContent = code;
    }
    if (solved === count && quiz.revealMode === 4) {
      for (var r = 0; r < revealLabels.length; r++) {
        revealLabels[r].textContent = questions[r].reveal;
      }
    }
  }

  function showRevealPicture(q) {
    var reveal = revealPictures[q - 1];
    if (!reveal || !pictures[q - 1]) {
      return;
    }
    reveal.hidden = false;
    pictures[q - 1].hidden = true;
  }

  // After a "BRAVO": the reveal waits until every field of the question holds one of its
  // accepted forms, compared as the grader compares them, as the player checks it.
  function revealIfComplete(q) {
    for (var a = 1; a <= perQuestion; a++) {
      var k = (q - 1) * perQuestion + a;
      if (!grader.matches(formsOf(k), typedOf(k), tolerances)) {
        return;
      }
    }
    var mode = quiz.revealMode;
    if ((mode === 2 || mode === 3) && revealLabels[q - 1]) {
      revealLabels[q - 1].textContent = questions[q - 1].reveal;
    }
    if (mode === 1 || mode === 3) {
      showRevealPicture(q);
    }
  }

  function gradeField(k, later) {
    var q = questionOf(k);
    var verdict = grader.grade(formsOf(k), typedOf(k), tolerances);
    if (verdict === BRAVO && quiz.revealMode !== 0) {
      revealIfComplete(q);
    }
    if (verdict !== BRAVO && revealLabels[q - 1]) {
      revealLabels[q - 1].textContent = '';
    }
    verdicts[k - 1] = verdict;
    var label = verdictLabels[k - 1];
    if (label.textContent !== verdict) {
      label.textContent = verdict;
      label.className = verdictClass(verdict);
    }
    if (!later) {
      refreshScore();
    }
  }

  function answers() {
    return fields.map(function (f, i) { return typedOf(i + 1); });
  }

  function moveFocus(k, backwards) {
    gradeField(k);
    var t = backwards ? (k === 1 ? fieldCount : k - 1) : (k === fieldCount ? 1 : k + 1);
    if (t === 1) {
      win.scrollTo(0, 0);
    }
    fields[t - 1].focus(); // the field left behind is graded again as it loses the focus
  }

  // F1: the field's text in every field not yet solved, each graded with it. The score is
  // counted once at the end: every field it changes was unsolved, so the quiz cannot be
  // complete before the last one is graded.
  function tryEverywhere(k) {
    var text = typedOf(k);
    for (var i = 1; i <= fieldCount; i++) {
      if (verdicts[i - 1] !== BRAVO) {
        fields[i - 1].value = text;
        gradeField(i, true);
      }
    }
    refreshScore();
    onAnswersChanged();
  }

  function scrollPage(direction) {
    win.scrollBy(0, direction * Math.max(40, win.innerHeight - 80));
  }

  // Keys act when released, or when pressed with Alt held, as in the player's fields.
  function fieldKey(k, e, released) {
    var key = e.key;
    if (key === 'Tab') {
      moveFocus(k, e.shiftKey);
    } else if (key === 'Enter') {
      gradeField(k);
      onAnswersChanged();
    } else if (key === 'F1') {
      tryEverywhere(k);
    } else if (released && (key === 'PageUp' || key === 'ArrowUp')) {
      scrollPage(-1);
    } else if (released && (key === 'PageDown' || key === 'ArrowDown')) {
      scrollPage(1);
    }
  }

  function wireField(field, k) {
    field.addEventListener('focus', function () {
      field.setSelectionRange(0, SELECTED_ON_ENTRY);
    });
    field.addEventListener('blur', function () {
      gradeField(k);
      onAnswersChanged();
    });
    field.addEventListener('input', function () {
      var held = holdableText(field.value);
      if (held !== field.value) {
        var caret = field.selectionStart;
        field.value = held;
        field.setSelectionRange(caret, caret);
      }
    });
    field.addEventListener('keydown', function (e) {
      if (e.key === 'Tab' || e.key === 'Enter') {
        e.preventDefault(); // no browser focus move, no form action (F1: see startQuizPage)
      }
      if (e.altKey) {
        fieldKey(k, e, false);
      }
    });
    field.addEventListener('keyup', function (e) {
      if (!e.altKey) {
        fieldKey(k, e, true);
      }
    });
  }

  function playClip(q) {
    var player = players[q - 1];
    if (!player) {
      return;
    }
    if (quiz.type === QUIZ_AUDIO) {
      stopClips(); // one clip at a time: play replaces whatever plays
      player.currentTime = 0;
    }
    var started = player.play();
    if (started && started.catch) {
      started.catch(function () {});
    }
  }

  function stopClips() {
    players.forEach(function (p) {
      if (p) {
        p.pause();
        p.currentTime = 0;
      }
    });
  }

  function mediaButtons(q) {
    var box = element(doc, 'div', 'media-buttons');
    var play = element(doc, 'button', 'play');
    play.type = 'button';
    play.id = 'play-' + q;
    play.setAttribute('aria-label', 'Lecture ' + q);
    play.addEventListener('click', function () { playClip(q); });
    var stop = element(doc, 'button', 'stop');
    stop.type = 'button';
    stop.id = 'stop-' + q;
    stop.setAttribute('aria-label', 'Arr\u00eat');
    stop.addEventListener('click', stopClips);
    box.appendChild(play);
    box.appendChild(stop);
    return box;
  }

  function mediaUrl(entry) {
    return entry ? mediaUrls.get(entry[0]) : null;
  }

  function pictureCell(q, question) {
    var cell = element(doc, 'div', 'picture-cell');
    var picture = element(doc, 'img', 'picture');
    picture.id = 'picture-' + q;
    picture.alt = '';
    var url = mediaUrl(question.media);
    if (url) {
      picture.src = url;
    }
    cell.appendChild(picture);
    pictures[q - 1] = picture;
    var revealUrl = mediaUrl(question.revealPicture);
    if (revealUrl && (quiz.revealMode === 1 || quiz.revealMode === 3)) {
      var reveal = element(doc, 'img', 'picture');
      reveal.id = 'reveal-picture-' + q;
      reveal.alt = '';
      reveal.src = revealUrl;
      reveal.hidden = true;
      cell.appendChild(reveal);
      revealPictures[q - 1] = reveal;
    }
    return cell;
  }

  function playerElement(q, question) {
    var tag = quiz.type === QUIZ_VIDEO ? 'video' : 'audio';
    var player = element(doc, tag, quiz.type === QUIZ_VIDEO ? 'film' : 'clip');
    player.id = 'media-' + q;
    player.preload = 'auto';
    var url = mediaUrl(question.media);
    if (url) {
      player.src = url;
    }
    if (quiz.type === QUIZ_VIDEO) {
      player.playsInline = true;
    } else {
      player.hidden = true;
    }
    players[q - 1] = player;
    return player;
  }

  function answerRows(q) {
    var box = element(doc, 'div', 'answers');
    for (var a = 1; a <= perQuestion; a++) {
      var k = (q - 1) * perQuestion + a;
      var row = element(doc, 'div', 'answer');
      var field = element(doc, 'input', 'field');
      field.type = 'text';
      field.id = 'field-' + k;
      field.autocomplete = 'off';
      field.spellcheck = false;
      field.setAttribute('autocapitalize', 'off');
      if (perQuestion === 2) {
        var label = element(doc, 'label', 'column-label', quiz.labels[a - 1]);
        label.htmlFor = field.id;
        row.appendChild(label);
      } else {
        field.setAttribute('aria-label', 'R\u00e9ponse ' + q);
      }
      var verdict = element(doc, 'span', 'verdict', '?');
      verdict.id = 'verdict-' + k;
      verdict.setAttribute('aria-live', 'polite');
      row.appendChild(field);
      row.appendChild(verdict);
      box.appendChild(row);
      fields[k - 1] = field;
      verdictLabels[k - 1] = verdict;
      verdicts[k - 1] = '?';
      wireField(field, k);
    }
    return box;
  }

  function questionBlock(q, question) {
    var block = element(doc, 'section', 'question');
    block.id = 'question-' + q;
    block.appendChild(element(doc, 'span', 'number', q + '.'));
    if (quiz.type === QUIZ_TEXT) {
      block.appendChild(element(doc, 'p', 'question-text', question.text));
    } else if (quiz.type === QUIZ_PICTURE) {
      block.appendChild(pictureCell(q, question));
    } else {
      if (quiz.type === QUIZ_VIDEO) {
        block.appendChild(playerElement(q, question));
      }
      block.appendChild(mediaButtons(q));
      if (quiz.type === QUIZ_AUDIO) {
        block.appendChild(playerElement(q, question));
      }
    }
    block.appendChild(answerRows(q));
    if (hasRevealLabels) {
      var reveal = element(doc, 'p', 'reveal');
      reveal.id = 'reveal-' + q;
      block.appendChild(reveal);
      revealLabels[q - 1] = reveal;
    }
    return block;
  }

  var list = element(doc, 'div', quiz.type === QUIZ_TEXT ? 'questions rows' : 'questions grid');
  if (perQuestion === 2) {
    list.className += ' two-answers';
  }
  for (var q = 1; q <= count; q++) {
    list.appendChild(questionBlock(q, questions[q - 1]));
  }

  return {
    list: list,
    fieldCount: fieldCount,
    // Fills the fields with saved answers and grades every one, as the player does at start.
    start: function (saved) {
      for (var k = 1; k <= fieldCount; k++) {
        fields[k - 1].value = holdableText(typeof saved[k - 1] === 'string' ? saved[k - 1] : '');
        gradeField(k, true);
      }
      refreshScore();
    },
    restart: function () {
      stopClips();
      revealPictures.forEach(function (p, i) {
        if (p) {
          p.hidden = true;
          pictures[i].hidden = false;
        }
      });
      this.start([]);
      onAnswersChanged();
    },
    answers: answers,
    onAnswersChanged: function (callback) {
      onAnswersChanged = callback;
    }
  };
}
