// Start-up: the grader loaded, the quiz unpacked from its packed resources by the player's
// own code inside it, its files turned into URLs, the board built, saved answers typed back
// and graded; only then is the board shown.
var NO_STORAGE_NOTICE =
  'Ce navigateur ne permet pas d\u2019enregistrer vos r\u00e9ponses : elles ne seront pas ' +
  'gard\u00e9es si vous fermez ou rechargez la page.';
var RESTART_QUESTION = 'Effacer toutes vos r\u00e9ponses et recommencer le quiz ?';
var LOAD_FAILURE = 'Ce navigateur ne peut pas faire fonctionner ce quiz (WebAssembly indisponible).';

// The relative luminance of a colour "#rrggbb", as the contrast of texts is measured.
function luminance(hex) {
  var sum = 0;
  [[1, 0.2126], [3, 0.7152], [5, 0.0722]].forEach(function (part) {
    var c = parseInt(hex.substr(part[0], 2), 16) / 255;
    sum += part[1] * (c <= 0.04045 ? c / 12.92 : Math.pow((c + 0.055) / 1.055, 2.4));
  });
  return sum;
}

// Black or white, whichever reads better on the quiz's own board colour: one of the two
// always has a contrast of 4.5:1 at least.
function textColourOn(hex) {
  var l = luminance(hex);
  return (l + 0.05) / 0.05 >= 1.05 / (l + 0.05) ? '#000000' : '#ffffff';
}

function fillHeader(doc, quiz, programLink) {
  doc.title = quiz.title || 'Quizz';
  doc.getElementById('title').textContent = quiz.title;
  doc.getElementById('explanation').textContent = quiz.explanation;
  doc.getElementById('explain').hidden = quiz.explanation === '';
  doc.getElementById('creator').textContent = quiz.creator;
  // The author's own address, or the program's; an empty one hides the link.
  var address = quiz.authorLink === null ? programLink : quiz.authorLink;
  var link = doc.getElementById('link');
  link.textContent = address;
  link.href = address;
  link.hidden = address === '';
  doc.getElementById('score').textContent = ' 0 / ' + quiz.questionCount;
  doc.getElementById('code').textContent = ' xxxxxx';
  if (quiz.background) {
    doc.documentElement.style.setProperty('--board-colour', quiz.background);
    doc.documentElement.style.setProperty('--board-text', textColourOn(quiz.background));
  }
}

// On a narrow screen the explanation folds behind its button (page.css); a printout shows it.
function wireExplanation(doc) {
  var panel = doc.querySelector('.title-panel');
  var button = doc.getElementById('explain');
  button.addEventListener('click', function () {
    var open = !panel.classList.contains('open');
    panel.classList.toggle('open', open);
    button.setAttribute('aria-expanded', open ? 'true' : 'false');
  });
}

// A field that the keyboard reaches is scrolled into view below the header that stays on
// top, never under it.
function keepFocusBelowHeader(win, doc) {
  var header = doc.querySelector('.header');
  function fit() {
    var sticky = win.getComputedStyle(header).position === 'sticky';
    doc.documentElement.style.scrollPaddingTop = sticky ? header.offsetHeight + 8 + 'px' : '';
  }
  fit();
  win.addEventListener('resize', fit);
}

function base64Of(bytes) {
  var binary = '';
  for (var i = 0; i < bytes.length; i += 8192) {
    binary += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));
  }
  return btoa(binary);
}

// Pictures become data: URLs, which cost no call to the browser; clips become blob: URLs,
// since browsers do not play clips from large data: URLs. One blob holds every clip, and
// each clip is a slice of it, which copies nothing.
function makeMediaUrls(win, data, bytes) {
  var urls = new Map();
  var all = null;
  function add(entry) {
    if (!entry || urls.has(entry[0])) {
      return;
    }
    if (entry[2].indexOf('image/') === 0) {
      urls.set(entry[0], 'data:' + entry[2] + ';base64,' + base64Of(embeddedBytes(bytes, entry)));
      return;
    }
    all = all || new win.Blob([bytes.subarray(0, data.grader[0])]);
    urls.set(entry[0], win.URL.createObjectURL(all.slice(entry[0], entry[0] + entry[1], entry[2])));
  }
  data.media.forEach(add);
  data.revealPictures.forEach(add);
  return urls;
}

function showNotice(doc, text) {
  var notice = doc.getElementById('notice');
  if (notice.hidden) {
    notice.textContent = text;
    notice.hidden = false;
  } else if (notice.textContent.indexOf(text) < 0) {
    notice.textContent += ' ' + text;
  }
}

// Says `text` through the page's polite live region; the same text twice is said twice.
function makeAnnouncer(doc) {
  var region = doc.getElementById('announce');
  return function (text) {
    region.textContent = region.textContent === text ? text + '\u00a0' : text;
  };
}

function startQuizPage(win, doc) {
  var data = JSON.parse(doc.getElementById('quiz-data').textContent);
  var bytes = decodeScriptBytes(doc.getElementById('quiz-media').textContent, data.mediaBytes);
  // F1 anywhere on the page belongs to the quiz, not to the browser's help.
  doc.addEventListener('keydown', function (e) {
    if (e.key === 'F1') {
      e.preventDefault();
    }
  });
  var store = openAnswersStore(win, data.storageKey);
  store.onFailure = function () { showNotice(doc, NO_STORAGE_NOTICE); };
  if (!store.available) {
    showNotice(doc, NO_STORAGE_NOTICE);
  }
  var graderLoaded = loadGrader(embeddedBytes(bytes, data.grader));
  var urls = makeMediaUrls(win, data, bytes);
  graderLoaded.then(function (grader) {
    var quiz = grader.openQuiz(data.resources.map(function (r) {
      return r ? embeddedBytes(bytes, r) : null;
    }));
    quiz.messages.forEach(function (m) { showNotice(doc, m); });
    quiz.questions = [];
    for (var q = 1; q <= quiz.questionCount; q++) {
      quiz.questions.push({
        text: quiz.questionText(q),
        reveal: quiz.revealText(q),
        media: data.media[q - 1] || null,
        revealPicture: data.revealPictures[q - 1] || null
      });
    }
    fillHeader(doc, quiz, data.link);
    wireExplanation(doc);
    var board = createBoard(win, doc, quiz, urls, makeAnnouncer(doc));
    var saveNow = function () { board.follow(store.save(board.record())); };
    board.start(store.load());
    board.onAnswersChanged(saveNow);
    store.onOtherTabSaved(function (saved) { board.follow(saved); });
    doc.getElementById('board').appendChild(board.list);
    doc.getElementById('restart').addEventListener('click', function () {
      if (win.confirm(RESTART_QUESTION)) {
        board.restart();
      }
    });
    doc.addEventListener('visibilitychange', function () {
      if (doc.visibilityState === 'hidden') {
        saveNow();
      }
    });
    win.addEventListener('pagehide', saveNow);
    doc.body.classList.remove('loading');
    keepFocusBelowHeader(win, doc);
    doc.documentElement.setAttribute('data-state', 'ready');
    win.quizzBoardReadyMs = win.performance.now();
  }, function () {
    doc.body.classList.remove('loading');
    doc.documentElement.setAttribute('data-state', 'failed');
    showNotice(doc, LOAD_FAILURE);
  });
}
