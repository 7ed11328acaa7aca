// The editor's state is one object, `app`; every action of the author becomes one change
// handed to dispatch, which applies it, records the undo step, saves and redraws. Nothing
// else writes app.quiz but undo, redo and what the server sends when the quiz is (re)loaded.

var STATUS_POLL_MS = 2000;

function startStudio(win, doc) {
  var app = {
    fields: JSON.parse(doc.getElementById('studio-fields').textContent),
    mode: 'loading',
    quiz: null,
    revision: 0,
    diagnostics: [],
    unusedMedia: [],
    shape: null,
    questionsDrawn: [],
    diagnosticsDrawn: null,
    saveState: 'saved',
    errors: 0
  };
  var history = makeHistory();
  // Figures the benchmarks read: milliseconds from a change to its problems shown, and to
  // the preview showing it.
  win.studioTimings = {diagnostics: [], preview: []};
  var preview = makePreview(doc, win);
  var handlers = {dispatch: dispatch, upload: upload, tryAnswer: tryAnswer};
  var saver = makeSaver(app, {
    state: showSaveState,
    saved: function (body, since) {
      app.revision = body.revision;
      app.diagnostics = body.diagnostics;
      app.unusedMedia = body.unusedMedia;
      (body.notices || []).forEach(function (n) { showNotice(doc, n, 'info'); });
      drawDiagnostics(doc, app);
      drawUnused(doc, app);
      if (since !== null) {
        win.studioTimings.diagnostics.push(performance.now() - since);
      }
      preview.show(app.revision, since);
    },
    conflict: function (body) {
      app.revision = body.revision;
      showSaveState('conflict');
      doc.getElementById('conflict-text').textContent = body.error;
      doc.getElementById('conflict').hidden = false;
    },
    refused: function (message) {
      showNotice(doc, message, 'error');
    }
  });

  function showSaveState(state) {
    app.saveState = state;
    var e = doc.getElementById('save-state');
    e.setAttribute('data-state', state);
    e.textContent = SAVE_TEXTS[state];
  }

  function dispatch(change, field) {
    var next = applyChange(app.quiz, change);
    if (JSON.stringify(next) === JSON.stringify(app.quiz)) {
      return;
    }
    history.record(app.quiz, field || null, Date.now());
    app.quiz = next;
    saver.save();
    render();
  }

  function travel(step) {
    var quiz = step === 'back' ? history.back(app.quiz) : history.forward(app.quiz);
    if (quiz !== null) {
      app.quiz = quiz;
      saver.save();
      render();
    }
  }

  function render() {
    doc.body.setAttribute('data-mode', app.mode);
    doc.getElementById('undo').disabled = history.undo.length === 0;
    doc.getElementById('redo').disabled = history.redo.length === 0;
    if (app.mode !== 'quiz') {
      return;
    }
    drawSettings(doc, app);
    drawQuestions(doc, app, handlers);
    drawDiagnostics(doc, app);
    drawUnused(doc, app);
  }

  // The list of quizzes, or a quiz as the server sends it (session, open, new, reload).
  function showSession(body, keepHistory) {
    app.shape = null;
    app.diagnosticsDrawn = null;
    doc.getElementById('conflict').hidden = true;
    (body.notices || []).forEach(function (n) { showNotice(doc, n, 'info'); });
    doc.getElementById('show-list').hidden = !body.canList;
    if (body.mode === 'list') {
      app.mode = 'list';
      app.quiz = null;
      doc.getElementById('quiz-file').textContent = '';
      drawList(doc, body, openQuiz);
      render();
      return;
    }
    doc.getElementById('quiz-file').textContent = body.file;
    app.revision = body.revision;
    if (!body.editable) {
      app.mode = 'blocked';
      doc.getElementById('blocked-problem').textContent = body.problem;
      render();
      return;
    }
    if (keepHistory && app.quiz !== null) {
      history.record(app.quiz, null, Date.now());
    } else if (!keepHistory) {
      history = makeHistory();
    }
    app.mode = 'quiz';
    app.quiz = body.quiz;
    app.diagnostics = body.diagnostics;
    app.unusedMedia = body.unusedMedia;
    buildSettings(doc, app, dispatch);
    showSaveState('saved');
    render();
    preview.show(app.revision, null);
  }

  function loadSession() {
    return request('GET', '/api/session').then(function (r) { showSession(r.body, false); });
  }

  function openQuiz(name) {
    request('POST', '/api/open', {name: name}).then(function (r) {
      if (r.status === 200) {
        showSession(r.body, false);
      } else {
        showNotice(doc, r.body.error, 'error');
      }
    });
  }

  function newQuiz(kind) {
    var title = doc.getElementById('new-title').value;
    request('POST', '/api/new', {title: title, kind: kind}).then(function (r) {
      if (r.status === 200) {
        showSession(r.body, false);
      } else {
        showNotice(doc, r.body.error, 'error');
      }
    });
  }

  function reloadFromDisk() {
    request('POST', '/api/reload', {}).then(function (r) {
      if (r.status === 200) {
        saver.dirtySince = null;
        showSession(r.body, true);
      }
    });
  }

  function upload(q, key, file) {
    var form = new FormData();
    form.append('question', String(q + 1));
    form.append('role', key);
    form.append('file', file, file.name);
    request('POST', '/api/media', form).then(function (r) {
      if (r.status === 200) {
        dispatch({type: 'set', scope: 'question', q: q, key: key, index: -1, value: r.body.path});
      } else {
        showNotice(doc, r.body.error || ('HTTP ' + r.status), 'error');
      }
    });
  }

  function tryAnswer(q, field, typed, output) {
    saver.flushed().then(function () {
      return request('POST', '/api/try', {question: q + 1, field: field, typed: typed});
    }).then(function (r) {
      output.textContent = r.status === 200 ? r.body.verdict : (r.body.error || '');
      output.setAttribute('data-verdict', r.status === 200 ? r.body.verdict : '');
    });
  }

  function importTable(file) {
    var form = new FormData();
    form.append('file', file, file.name);
    request('POST', '/api/table', form).then(function (r) {
      (r.body.diagnostics || []).forEach(function (d) { showNotice(doc, problemText(d), d.severity); });
      if (r.status !== 200) {
        showNotice(doc, r.body.error || ('HTTP ' + r.status), 'error');
        return;
      }
      var asked = 'Remplacer les ' + app.quiz.questions.length + ' questions par les ' +
          r.body.questions.length + ' du tableau ? (Annuler les rend)';
      if (app.quiz.questions.length === 0 || win.confirm(asked)) {
        dispatch({type: 'questions', questions: r.body.questions});
      }
    });
  }

  // Another tab saved, or the file changed on disk: taken at once when nothing here waits to
  // be saved, asked otherwise.
  function pollStatus() {
    if (app.mode !== 'quiz' || !saver.idle() || app.saveState === 'conflict') {
      setTimeout(pollStatus, STATUS_POLL_MS);
      return;
    }
    request('GET', '/api/status').then(function (r) {
      var s = r.body;
      if (s.mode === 'quiz' && saver.idle() && (s.changedOnDisk || s.revision !== app.revision)) {
        if (s.changedOnDisk) {
          showNotice(doc, 'Le fichier du quiz a chang\u00e9 en dehors du studio : il est recharg\u00e9.', 'info');
          reloadFromDisk();
        } else {
          request('GET', '/api/session').then(function (x) { showSession(x.body, true); });
        }
      }
    }).then(function () { setTimeout(pollStatus, STATUS_POLL_MS); },
            function () { setTimeout(pollStatus, STATUS_POLL_MS); });
  }

  function on(id, event, action) {
    doc.getElementById(id).addEventListener(event, action);
  }
  on('undo', 'click', function () { travel('back'); });
  on('redo', 'click', function () { travel('forward'); });
  on('add-question', 'click', function () { dispatch({type: 'add'}); });
  on('show-list', 'click', function () {
    saver.flushed().then(function () { return request('POST', '/api/list', {}); })
      .then(function (r) { showSession(r.body, false); });
  });
  on('reload-quiz', 'click', reloadFromDisk);
  on('conflict-reload', 'click', reloadFromDisk);
  on('conflict-keep', 'click', function () {
    doc.getElementById('conflict').hidden = true;
    showSaveState('pending');
    saver.save(true);
  });
  on('import-table', 'click', function () { doc.getElementById('import-file').click(); });
  on('import-file', 'change', function (e) {
    if (e.target.files.length > 0) {
      importTable(e.target.files[0]);
      e.target.value = '';
    }
  });
  on('build-exe', 'click', function () { runJob(doc, app, 'exe', saver.flushed); });
  on('export-page', 'click', function () { runJob(doc, app, 'html', saver.flushed); });
  on('print-key', 'click', function () { printKey(doc, win, saver.flushed); });
  on('quit', 'click', function () {
    saver.flushed().then(function () { return request('POST', '/api/quit', {}); }).then(function () {
      app.mode = 'stopped';
      render();
    });
  });
  Array.prototype.forEach.call(doc.querySelectorAll('.new-kinds button'), function (b) {
    b.addEventListener('click', function () { newQuiz(b.getAttribute('data-kind')); });
  });
  doc.addEventListener('keydown', function (e) {
    if ((e.ctrlKey || e.metaKey) && app.mode === 'quiz') {
      var key = e.key.toLowerCase();
      if (key === 'z' || key === 'y') {
        e.preventDefault();
        travel(key === 'y' || e.shiftKey ? 'forward' : 'back');
      }
    }
  });
  win.addEventListener('beforeunload', function (e) {
    if (!saver.idle()) {
      e.preventDefault();
      e.returnValue = '';
    }
  });
  showSaveState('saved');
  loadSession().then(function () {
    doc.documentElement.setAttribute('data-studio', 'ready');
    setTimeout(pollStatus, STATUS_POLL_MS);
  });
}
