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
  var link = doc.getElementById('link');
  link.textContent = quiz.link;
  link.href = quiz.link;
  doc.getElementById('score').textContent = ' 0 / ' + quiz.questions.length;
  doc.getElementById('code').textContent = ' xxxxxx';
  if (/^#[0-9A-Fa-f]{6}$/.test(quiz.background)) {
    doc.documentElement.style.setProperty('--board-colour', quiz.background);
  }
}

// Browsers do not play clips from large data: URLs; blob: URLs of the page's own bytes
// play everywhere and cost no copy of the text.
function makeMediaUrls(win, quiz, bytes) {
  var urls = new Map();
  function add(entry) {
    if (entry && !urls.has(entry[0])) {
      var blob = new win.Blob([embeddedBytes(bytes, entry)], {type: entry[2]});
      urls.set(entry[0], win.URL.createObjectURL(blob));
    }
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
  var urls = makeMediaUrls(win, quiz, bytes);
  loadGrader(embeddedBytes(bytes, quiz.grader)).then(function (grader) {
    var board = createBoard(win, doc, quiz, grader, urls);
    board.start(store.load());
    board.onAnswersChanged(function () { store.save(board.answers()); });
    doc.getElementById('board').appendChild(board.list);
    doc.getElementById('restart').addEventListener('click', function () {
      if (win.confirm(RESTART_QUESTION)) {
        board.restart();
      }
    });
    var saveNow = function () { store.save(board.answers()); };
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
