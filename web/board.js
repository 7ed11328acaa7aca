// The question board: every question's controls, grading as the player's fields grade,
// score, codes and reveals, the fields' keys, the play and stop buttons, and what a screen
// reader says of them.
var QUIZ_TEXT = 0;
var QUIZ_PICTURE = 1;
var QUIZ_AUDIO = 2;
var QUIZ_VIDEO = 3;
var BRAVO = 'BRAVO';
var NO_CODE = '      ';
var MAX_TEXT = 259; // what the player reads of a field
var SELECTED_ON_ENTRY = 25;
var CLIP_CANNOT_PLAY = 'Cet extrait ne peut pas \u00eatre lu par ce navigateur.';
var CLIP_MISSING = 'Cet extrait manque dans le quiz.';

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

// `quiz`: the quiz as its packed resources gave it (grader_bridge.js), with `questions`,
// each {text, reveal, media, revealPicture}; `announce(text)`: says a text politely.
function createBoard(win, doc, quiz, mediaUrls, announce) {
  var perQuestion = quiz.answersPerQuestion === 2 ? 2 : 1;
  var questions = quiz.questions;
  var count = questions.length;
  var fieldCount = count * perQuestion;
  var fields = [];
  // When each field last changed, here or in another tab, and its text then: a change that
  // no input event told of (a script, an extension) is noticed when the fields are saved.
  var times = [];
  var known = [];
  var verdictLabels = [];
  var verdicts = [];
  // Each field's text when its verdict was last said or the field was filled for the player:
  // leaving a field says its verdict only when the player changed its text.
  var spoken = [];
  var revealLabels = [];
  var pictures = [];
  var revealPictures = [];
  var players = [];
  var clipProblems = [];
  var scoreBox = doc.getElementById('score');
  var codeBox = doc.getElementById('code');
  var hasRevealLabels = quiz.type === QUIZ_PICTURE && quiz.revealMode >= 2 && quiz.revealMode <= 4;
  var onAnswersChanged = function () {};
  var lastTime = 0;

  function now() {
    lastTime = Math.max(Date.now(), lastTime + 1);
    return lastTime;
  }
  function questionOf(k) {
    return Math.floor((k - 1) / perQuestion) + 1;
  }
  function typedOf(k) {
    return fields[k - 1].value.slice(0, MAX_TEXT);
  }
  function stamp(k) {
    times[k - 1] = now();
    known[k - 1] = typedOf(k);
  }
  function fieldName(k) {
    var name = 'Question ' + questionOf(k) + ', r\u00e9ponse ' + ((k - 1) % perQuestion + 1);
    return perQuestion === 2 && quiz.labels[(k - 1) % 2] ? name + ', ' + quiz.labels[(k - 1) % 2] : name;
  }
  function whereSaid(k) {
    var q = questionOf(k);
    return perQuestion === 2 ? 'Question ' + q + ', r\u00e9ponse ' + ((k - 1) % 2 + 1) : 'Question ' + q;
  }

  // Rewrites the score and code boxes; returns what changed, in words, for a screen reader.
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
    var said = [];
    var score = ' ' + solved + ' / ' + count;
    if (scoreBox.textContent !== score) {
      scoreBox.textContent = score;
      said.push('Score : ' + solved + ' sur ' + count);
    }
    var code = solved >= 1 ? quiz.codeFor(solved) : NO_CODE;
    if (codeBox.textContent !== code) {
      codeBox.textContent = code;
      if (code.trim() !== '') {
        said.push('Code : ' + code.trim());
      }
    }
    if (solved === count && quiz.revealMode === 4) {
      for (var r = 0; r < revealLabels.length; r++) {
        revealLabels[r].textContent = questions[r].reveal;
      }
    }
    return said;
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
      if (!quiz.fieldMatches(k, typedOf(k))) {
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

  // `later`: the score is counted by the caller, once for many fields. `said`: the player
  // graded this field (Return, leaving it), so a screen reader hears the verdict with the
  // score and code when they change; `always` (Return): even when the text is unchanged.
  function gradeField(k, later, said, always) {
    var q = questionOf(k);
    var typed = typedOf(k);
    var verdict = quiz.gradeField(k, typed);
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
    if (later) {
      return;
    }
    var changes = refreshScore();
    if (said && (always || spoken[k - 1] !== typed)) {
      spoken[k - 1] = typed;
      announce([whereSaid(k) + ' : ' + verdict].concat(changes).join('. '));
    } else if (changes.length > 0) {
      announce(changes.join('. '));
    }
  }

  function answers() {
    return fields.map(function (f, i) { return typedOf(i + 1); });
  }

  // F1: the field's text in every field not yet solved, each graded with it. The score is
  // counted once at the end: every field it changes was unsolved, so the quiz cannot be
  // complete before the last one is graded.
  function tryEverywhere(k) {
    var text = typedOf(k);
    var at = now();
    for (var i = 1; i <= fieldCount; i++) {
      if (verdicts[i - 1] !== BRAVO) {
        fields[i - 1].value = text;
        times[i - 1] = at;
        known[i - 1] = spoken[i - 1] = typedOf(i);
        gradeField(i, true);
      }
    }
    var changes = refreshScore();
    if (changes.length > 0) {
      announce(changes.join('. '));
    }
    onAnswersChanged();
  }

  function scrollPage(direction) {
    win.scrollBy(0, direction * Math.max(40, win.innerHeight - 80));
  }

  // Keys act when released, or when pressed with Alt held, as in the player's fields. Tab
  // is the browser's: it moves through the page in document order, where the fields come in
  // the player's order, and leaving a field grades it.
  function fieldKey(k, e) {
    var key = e.key;
    if (key === 'Enter') {
      gradeField(k, false, true, true);
      onAnswersChanged();
    } else if (key === 'F1') {
      tryEverywhere(k);
    } else if (key === 'PageUp' || key === 'ArrowUp') {
      scrollPage(-1);
    } else if (key === 'PageDown' || key === 'ArrowDown') {
      scrollPage(1);
    }
  }

  function wireField(field, k) {
    field.addEventListener('focus', function () {
      field.setSelectionRange(0, SELECTED_ON_ENTRY);
    });
    field.addEventListener('blur', function () {
      gradeField(k, false, true);
      onAnswersChanged();
    });
    field.addEventListener('input', function () {
      var held = holdableText(field.value);
      if (held !== field.value) {
        var caret = field.selectionStart;
        field.value = held;
        field.setSelectionRange(caret, caret);
      }
      stamp(k);
    });
    field.addEventListener('keydown', function (e) {
      if (e.key === 'Enter') {
        e.preventDefault(); // no form action (F1: see startQuizPage)
      }
      if (e.altKey) {
        fieldKey(k, e);
      }
    });
    field.addEventListener('keyup', function (e) {
      if (!e.altKey) {
        fieldKey(k, e);
      }
    });
  }

  // A clip the browser cannot play says so in French beside its buttons, once.
  function showClipProblem(q, text) {
    var note = clipProblems[q - 1];
    if (note && note.hidden) {
      note.textContent = text;
      note.hidden = false;
    }
  }

  function playClip(q) {
    var player = players[q - 1];
    if (!player) {
      showClipProblem(q, CLIP_MISSING);
      return;
    }
    if (quiz.type === QUIZ_AUDIO) {
      stopClips(); // one clip at a time: play replaces whatever plays
      player.currentTime = 0;
    }
    var started = player.play();
    if (started && started.catch) {
      started.catch(function (e) {
        if (e && e.name === 'NotSupportedError') {
          showClipProblem(q, CLIP_CANNOT_PLAY);
        }
      });
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
    play.title = 'Lecture de la question ' + q;
    play.setAttribute('aria-label', play.title);
    play.setAttribute('aria-controls', 'media-' + q);
    play.addEventListener('click', function () { playClip(q); });
    var stop = element(doc, 'button', 'stop');
    stop.type = 'button';
    stop.id = 'stop-' + q;
    stop.title = 'Arr\u00eat de la question ' + q;
    stop.setAttribute('aria-label', stop.title);
    stop.setAttribute('aria-controls', 'media-' + q);
    stop.addEventListener('click', stopClips);
    var note = element(doc, 'p', 'clip-problem');
    note.id = 'clip-problem-' + q;
    note.setAttribute('role', 'status');
    note.hidden = true;
    clipProblems[q - 1] = note;
    box.appendChild(play);
    box.appendChild(stop);
    box.appendChild(note);
    return box;
  }

  function mediaUrl(entry) {
    return entry ? mediaUrls.get(entry[0]) : null;
  }

  function pictureCell(q, question) {
    var cell = element(doc, 'div', 'picture-cell');
    var picture = element(doc, 'img', 'picture');
    picture.id = 'picture-' + q;
    picture.alt = 'Image de la question ' + q;
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
      reveal.alt = 'Image r\u00e9v\u00e9l\u00e9e de la question ' + q;
      reveal.src = revealUrl;
      reveal.hidden = true;
      cell.appendChild(reveal);
      revealPictures[q - 1] = reveal;
    }
    return cell;
  }

  function playerElement(q, question) {
    var url = mediaUrl(question.media);
    if (!url) {
      return null;
    }
    var video = quiz.type === QUIZ_VIDEO;
    var player = element(doc, video ? 'video' : 'audio', video ? 'film' : 'clip');
    player.id = 'media-' + q;
    player.preload = 'auto';
    player.src = url;
    if (video) {
      player.playsInline = true;
      player.setAttribute('aria-label', 'Vid\u00e9o de la question ' + q);
    } else {
      player.hidden = true;
    }
    player.addEventListener('error', function () { showClipProblem(q, CLIP_CANNOT_PLAY); });
    players[q - 1] = player;
    return player;
  }

  function answerRows(q, describedBy) {
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
      field.setAttribute('aria-label', fieldName(k));
      field.setAttribute('aria-describedby', describedBy.concat(['verdict-' + k]).join(' '));
      if (perQuestion === 2) {
        var label = element(doc, 'label', 'column-label', quiz.labels[a - 1]);
        label.htmlFor = field.id;
        row.appendChild(label);
      }
      var verdict = element(doc, 'span', 'verdict', '?');
      verdict.id = 'verdict-' + k;
      row.appendChild(field);
      row.appendChild(verdict);
      box.appendChild(row);
      fields[k - 1] = field;
      times[k - 1] = 0;
      known[k - 1] = '';
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
    var describedBy = [];
    if (quiz.type === QUIZ_TEXT) {
      var text = element(doc, 'p', 'question-text', question.text);
      text.id = 'question-text-' + q;
      block.appendChild(text);
      describedBy.push(text.id);
    } else if (quiz.type === QUIZ_PICTURE) {
      block.appendChild(pictureCell(q, question));
    } else {
      var player = playerElement(q, question);
      if (player && quiz.type === QUIZ_VIDEO) {
        block.appendChild(player);
      }
      block.appendChild(mediaButtons(q));
      if (player && quiz.type === QUIZ_AUDIO) {
        block.appendChild(player);
      }
      if (!player) {
        showClipProblem(q, CLIP_MISSING);
      }
    }
    block.appendChild(answerRows(q, describedBy));
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

  function noticeChanges() {
    for (var k = 1; k <= fieldCount; k++) {
      if (typedOf(k) !== known[k - 1]) {
        stamp(k);
      }
    }
  }

  function fill(k, text, time) {
    fields[k - 1].value = holdableText(typeof text === 'string' ? text : '');
    times[k - 1] = time;
    known[k - 1] = spoken[k - 1] = typedOf(k);
    gradeField(k, true);
  }

  return {
    list: list,
    fieldCount: fieldCount,
    // Fills the fields with saved answers ({answers, times}) and grades every one, as the
    // player does at start.
    start: function (saved) {
      for (var k = 1; k <= fieldCount; k++) {
        fill(k, saved.answers[k - 1], saved.times[k - 1] || 0);
      }
      refreshScore();
    },
    // Takes the answers of `saved` that differ from the fields' and are not older, except in
    // the field being typed into: it keeps what is typed, and the newer of the two wins when
    // it is saved.
    follow: function (saved) {
      noticeChanges();
      var changed = false;
      for (var k = 1; k <= fieldCount; k++) {
        var time = saved.times[k - 1] || 0;
        var text = typeof saved.answers[k - 1] === 'string' ? saved.answers[k - 1] : '';
        if (time >= times[k - 1] && text !== typedOf(k) && fields[k - 1] !== doc.activeElement) {
          fill(k, text, time);
          changed = true;
        }
      }
      if (changed) {
        refreshScore();
      }
    },
    restart: function () {
      stopClips();
      revealPictures.forEach(function (p, i) {
        if (p) {
          p.hidden = true;
          pictures[i].hidden = false;
        }
      });
      var at = now();
      for (var k = 1; k <= fieldCount; k++) {
        fill(k, '', at);
      }
      refreshScore();
      onAnswersChanged();
    },
    answers: answers,
    // The fields as the answers store keeps them: {answers, times}.
    record: function () {
      noticeChanges();
      return {answers: answers(), times: times.slice()};
    },
    onAnswersChanged: function (callback) {
      onAnswersChanged = callback;
    }
  };
}
