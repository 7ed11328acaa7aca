// Start-up: the quiz read from the page, its files turned into blob: URLs, the board built,
// the grader loaded, saved answers typed back and graded; only then is the board shown.
var NO_STORAGE_NOTICE =
  'Ce navigateur ne permet pas d\u2019enregistrer vos r\u00e9ponses : elles ne seront pas ' +
  'gard\u00e9es si vous fermez ou rechargez la page.';
var RESTART_QUESTION = 'Effacer toutes vos r\u00e9ponses et recommencer le quiz ?';
var LOAD_FAILURE = 'Ce navigateur ne peut pas faire fonctionner ce quiz (WebAssembly indisponible).';

function fillHeader(doc, quiz) {
  doc.title = quiz.title || 'Quizz';
  doc.getElementById('title').textContent = quiz.title;
  doc.getElementById('explanation').textContent = quiz.explanation;
  doc.getElementById('creator').textContent = quiz.creator;
  // The author's own address, or the program's; an empty one hides the link.
  var link = doc.getElementById('link');
  link.textContent = quiz.link;
  link.href = quiz.link;
  link.hidden = quiz.link === '';
  doc.getElementById('score').textContent = ' 0 / ' + quiz.questions.length;
  doc.getElementById('code').textContent = ' xxxxxx';
  if (/^#[0-9A-Fa-f]{6}$/.test(quiz.background)) {
    doc.documentElement.style.setProperty('--board-colour', quiz.background);
  }
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
function makeMediaUrls(win, quiz, bytes) {
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
    all = all || new win.Blob([bytes.subarray(0, quiz.grader[0])]);
    urls.set(entry[0], win.URL.createObjectURL(all.slice(entry[0], entry[0] + entry[1], entry[2])));
  }
  quiz.questions.forEach(function (q) {
    add(q.media);
    add(q.revealPicture);
  });
  return urls;
}

function showNotice(doc, text) {
  var notice = doc.getElementById('notice');
  if (notice.hidden) {
    notice.textContent = text;
    notice.hidden = false;
  }
}

function startQuizPage(win, doc) {
  var quiz = JSON.parse(doc.getElementById('quiz-data').textContent);
  var bytes = decodeScriptBytes(doc.getElementById('quiz-media').textContent, quiz.mediaBytes);
  fillHeader(doc, quiz);
  // F1 anywhere on the page belongs to the quiz, not to the browser's help.
  doc.addEventListener('keydown', function (e) {
    if (e.key === 'F1') {
      e.preventDefault();
    }
  });
  var store = openAnswersStore(win, quiz.storageKey);
  store.onFailure = function () { showNotice(doc, NO_STORAGE_NOTICE); };
  if (!store.available) {
    showNotice(doc, NO_STORAGE_NOTICE);
  }
  // The grader is compiled at once where the browser allows it, else on another thread
  // while the media URLs are made.
  var graderLoaded = loadGrader(embeddedBytes(bytes, quiz.grader));
  var urls = makeMediaUrls(win, quiz, bytes);
  graderLoaded.then(function (grader) {
    var board = createBoard(win, doc, quiz, grader, urls);
    var saveNow = function () { store.save(board.answers()); };
    board.start(store.load());
    board.onAnswersChanged(saveNow);
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
    doc.documentElement.setAttribute('data-state', 'ready');
    win.quizzBoardReadyMs = win.performance.now();
  }, function () {
    doc.body.classList.remove('loading');
    doc.documentElement.setAttribute('data-state', 'failed');
    showNotice(doc, LOAD_FAILURE);
  });
}
