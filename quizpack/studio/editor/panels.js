// What surrounds the form: the problems of the check (in one list and beside their fields),
// the notices, the list of quizzes, unused media files, builds and exports, and the preview.

var SEVERITY_WORDS = {error: 'Erreur', warning: 'Attention', note: 'Remarque'};

function problemText(d) {
  return SEVERITY_WORDS[d.severity] + ' : ' + d.message + (d.hint ? ' \u2014 ' + d.hint : '');
}

function problemItem(doc, d) {
  var li = element(doc, 'li', {'data-severity': d.severity, 'data-key': d.key}, problemText(d));
  li.className = 'problem-' + d.severity;
  return li;
}

// The element whose problems list a diagnostic joins, or null for the whole quiz.
function problemsPlace(doc, app, d) {
  var place = placeOfKey(app.fields, d.key);
  if (place === null) {
    return null;
  }
  var scope = place.q >= 0 ? doc.getElementById('question-' + (place.q + 1)) : doc.getElementById('settings');
  if (!scope) {
    return null;
  }
  if (place.field === null) {
    return scope.querySelector('.question-problems');
  }
  var box = scope.querySelector('[data-field="' + place.field.id + '"]');
  return box && !box.hidden ? box.querySelector('.problems') : null;
}

// Drawn again only when the problems or the list's shape changed since they were drawn.
function drawDiagnostics(doc, app) {
  var drawn = JSON.stringify(app.diagnostics) + '|' + app.shape;
  if (drawn === app.diagnosticsDrawn) {
    return;
  }
  app.diagnosticsDrawn = drawn;
  var list = doc.getElementById('diagnostics');
  list.textContent = '';
  Array.prototype.forEach.call(doc.querySelectorAll('#quiz-view .problems'), function (ul) {
    if (ul.firstChild) {
      ul.textContent = '';
    }
  });
  var errors = 0;
  app.diagnostics.forEach(function (d) {
    errors += d.severity === 'error';
    var item = problemItem(doc, d);
    var beside = problemsPlace(doc, app, d);
    if (beside) {
      beside.appendChild(problemItem(doc, d));
      item.addEventListener('click', function () {
        var input = beside.parentNode.querySelector('input, textarea, select');
        if (input) {
          input.focus();
        }
      });
    }
    list.appendChild(item);
  });
  doc.getElementById('problem-count').textContent =
      app.diagnostics.length === 0 ? '(aucun)' : '(' + app.diagnostics.length + ')';
  app.errors = errors;
}

function showNotice(doc, text, kind) {
  var li = element(doc, 'li', {'class': 'notice notice-' + (kind || 'info')}, text);
  var close = element(doc, 'button', {type: 'button', title: 'Fermer'}, '\u00d7');
  close.addEventListener('click', function () { li.remove(); });
  li.appendChild(close);
  doc.getElementById('notices').appendChild(li);
}

function drawUnused(doc, app) {
  var box = doc.getElementById('unused-media');
  var list = doc.getElementById('unused-list');
  list.textContent = '';
  (app.unusedMedia || []).forEach(function (name) {
    list.appendChild(element(doc, 'li', {'class': 'file'}, name));
  });
  box.hidden = !app.unusedMedia || app.unusedMedia.length === 0;
}

function drawList(doc, session, onOpen) {
  doc.getElementById('list-folder').textContent = session.folder;
  var list = doc.getElementById('quiz-list');
  list.textContent = '';
  if (session.quizzes.length === 0) {
    list.appendChild(element(doc, 'li', {'class': 'empty'}, 'Aucun quiz dans ce dossier pour l\u2019instant.'));
  }
  var kinds = {text: 'texte', picture: 'images', audio: 'audio', video: 'vid\u00e9o'};
  session.quizzes.forEach(function (quiz) {
    var li = element(doc, 'li');
    var open = element(doc, 'button', {type: 'button', 'data-name': quiz.name},
                       quiz.title || quiz.name);
    open.addEventListener('click', function () { onOpen(quiz.name); });
    li.appendChild(open);
    li.appendChild(element(doc, 'span', {'class': 'file'},
                           ' ' + quiz.name + (kinds[quiz.kind] ? ' \u2014 quiz ' + kinds[quiz.kind] : '')));
    list.appendChild(li);
  });
}

// "Créer le jeu" and "Créer la page": the job started, its progress polled until it ends
// with the file's name, size and a link to it.
function runJob(doc, app, kind, flushed) {
  var api = kind === 'exe' ? '/api/build' : '/api/export';
  var bar = doc.getElementById(kind === 'exe' ? 'build-progress' : 'export-progress');
  var result = doc.getElementById(kind === 'exe' ? 'build-result' : 'export-result');
  result.textContent = kind === 'exe' ? 'Cr\u00e9ation du jeu\u2026' : 'Cr\u00e9ation de la page\u2026';
  result.removeAttribute('data-state');
  flushed().then(function () {
    return request('POST', api, {});
  }).then(function (reply) {
    if (reply.status !== 202) {
      result.textContent = reply.body.error || ('HTTP ' + reply.status);
      result.setAttribute('data-state', 'failed');
      return;
    }
    bar.hidden = false;
    bar.value = 0;
    (function poll() {
      request('GET', api).then(function (job) {
        var s = job.body;
        if (s.total > 0) {
          bar.max = s.total;
          bar.value = s.done;
        }
        if (s.state === 'running') {
          setTimeout(poll, 200);
          return;
        }
        bar.hidden = true;
        result.textContent = '';
        result.setAttribute('data-state', s.state);
        if (s.state === 'done') {
          var link = element(doc, 'a', {href: '/download/' + kind, download: s.file}, s.file);
          result.appendChild(doc.createTextNode(kind === 'exe' ? 'Jeu cr\u00e9\u00e9 : ' : 'Page cr\u00e9\u00e9e : '));
          result.appendChild(link);
          result.appendChild(doc.createTextNode(' (' + s.size + ', dans le dossier du quiz)'));
        } else {
          result.textContent = s.error || '';
        }
      });
    })();
  });
}

// "Imprimer le corrigé": the key written as quizpack key writes it, then shown in a tab of
// its own, opened at the click so that no pop-up blocker stops it.
function printKey(doc, win, flushed) {
  var result = doc.getElementById('key-result');
  var tab = win.open('', '_blank');
  result.textContent = 'Pr\u00e9paration du corrig\u00e9\u2026';
  result.removeAttribute('data-state');
  flushed().then(function () {
    return request('POST', '/api/key', {});
  }).then(function (reply) {
    result.textContent = '';
    result.setAttribute('data-state', reply.status === 200 ? 'done' : 'failed');
    if (reply.status !== 200) {
      result.textContent = reply.body.error || ('HTTP ' + reply.status);
      if (tab) {
        tab.close();
      }
      return;
    }
    if (tab) {
      tab.location.href = '/key';
    }
    result.appendChild(doc.createTextNode('Corrig\u00e9 \u00e9crit : '));
    result.appendChild(element(doc, 'a', {href: '/key', target: '_blank', id: 'key-link'},
                               reply.body.file));
    result.appendChild(doc.createTextNode(' (' + reply.body.size + ', dans le dossier du quiz)'));
  });
}

// The preview is the exported page itself, loaded again after each save; one load at a time.
function makePreview(doc, win) {
  var frame = doc.getElementById('preview');
  var loading = false;
  var wanted = null;
  var preview = {
    shownChange: null, // performance.now() of the change the preview shows last
    show: function (revision, changedAt) {
      wanted = {revision: revision, changedAt: changedAt};
      if (!loading) {
        load();
      }
    }
  };
  function load() {
    var next = wanted;
    wanted = null;
    loading = true;
    var url = '/preview?r=' + next.revision;
    frame.src = url;
    // Ready when the page of this revision says so on its root element (a page without a
    // quiz says nothing: it is ready once loaded), without waiting for its every picture.
    var tries = 0;
    (function check() {
      var d = null;
      try {
        d = frame.contentDocument;
      } catch (e) {
        d = null;
      }
      var current = d && d.URL.indexOf(url) >= 0 && d.documentElement;
      var state = current ? d.documentElement.getAttribute('data-state') : null;
      var done = state !== null ||
          (current && d.readyState === 'complete' && !d.getElementById('quiz-data')) || tries++ > 3000;
      if (!done) {
        setTimeout(check, 5);
        return;
      }
      loading = false;
      if (next.changedAt !== null) {
        win.studioTimings.preview.push(performance.now() - next.changedAt);
      }
      frame.setAttribute('data-revision', String(next.revision));
      if (wanted) {
        load();
      }
    })();
  }
  return preview;
}
