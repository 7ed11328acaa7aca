// The question list: one block per question with its fields (from the field table), its
// pictures or clip shown as the quiz will show them, its buttons, and a field to try an
// answer. The blocks are made again only when the list's shape changes (a question added,
// removed, or the settings that choose the fields); otherwise their values are redrawn.

var MEDIA_ACCEPT = {picture: 'image/jpeg,image/png,image/gif,image/bmp',
                    reveal_picture: 'image/jpeg,image/png,image/gif,image/bmp',
                    clip: '.mp3,.avi,audio/mpeg,video/x-msvideo,video/avi'};

function questionId(q, rest) {
  return 'question-' + (q + 1) + '-' + rest;
}

function listShape(app) {
  var shown = app.fields.filter(function (f) {
    return f.scope === 'question' && fieldShown(app.quiz, app.fields, f);
  }).map(function (f) { return f.id; });
  return app.quiz.questions.length + '/' + shown.join(',');
}

function button(doc, id, text, title, onClick) {
  var b = element(doc, 'button', {type: 'button', id: id, title: title}, text);
  b.addEventListener('click', onClick);
  return b;
}

function makeMediaField(doc, app, field, q, handlers) {
  var id = questionId(q, field.id);
  var box = element(doc, 'div', {'class': 'field field-media', 'data-field': field.id});
  box.appendChild(element(doc, 'label', {'for': id}, field.label + LABEL_SUFFIX));
  var shown = element(doc, 'div', {'class': field.key === 'clip' ? 'clip-box' : 'picture-box'});
  if (field.key !== 'clip') {
    shown.appendChild(element(doc, 'img', {id: id + '-view', alt: ''}));
  }
  shown.appendChild(element(doc, 'span', {'class': 'media-name', id: id + '-name'}));
  box.appendChild(shown);
  var input = element(doc, 'input', {type: 'file', id: id, accept: MEDIA_ACCEPT[field.key]});
  input.addEventListener('change', function () {
    if (input.files.length > 0) {
      handlers.upload(q, field.key, input.files[0]);
      input.value = '';
    }
  });
  box.appendChild(input);
  box.appendChild(button(doc, id + '-remove', 'Retirer', 'Retirer ce fichier du quiz (il reste dans le dossier)',
    function () { handlers.dispatch({type: 'set', scope: 'question', q: q, key: field.key, index: -1, value: ''}); }));
  box.appendChild(element(doc, 'ul', {'class': 'problems'}));
  return box;
}

function makeTrial(doc, app, q, handlers) {
  var box = element(doc, 'div', {'class': 'try'});
  var input = element(doc, 'input', {type: 'text', id: questionId(q, 'try'),
                                     placeholder: 'Une r\u00e9ponse \u00e0 essayer'});
  box.appendChild(input);
  var which = null;
  if (answerCount(app.quiz) === 2) {
    which = element(doc, 'select', {id: questionId(q, 'try-field')});
    which.appendChild(element(doc, 'option', {value: '1'}, '1re r\u00e9ponse'));
    which.appendChild(element(doc, 'option', {value: '2'}, '2e r\u00e9ponse'));
    box.appendChild(which);
  }
  var verdict = element(doc, 'output', {id: questionId(q, 'verdict'), 'class': 'verdict'});
  var go = function () {
    handlers.tryAnswer(q, which ? parseInt(which.value, 10) : 1, input.value, verdict);
  };
  box.appendChild(button(doc, questionId(q, 'try-button'), 'Essayer',
                         'Noter cette r\u00e9ponse comme le quiz la notera', go));
  input.addEventListener('keydown', function (e) {
    if (e.key === 'Enter') {
      go();
    }
  });
  box.appendChild(verdict);
  return box;
}

function makeQuestion(doc, app, q, handlers) {
  var n = app.quiz.questions.length;
  var item = element(doc, 'li', {'class': 'question', id: 'question-' + (q + 1), draggable: 'true'});
  var head = element(doc, 'div', {'class': 'question-head'});
  head.appendChild(element(doc, 'span', {'class': 'number'}, 'Question ' + (q + 1)));
  var tools = element(doc, 'span', {'class': 'question-tools'});
  var up = button(doc, questionId(q, 'up'), '\u2191', 'Monter', function () {
    handlers.dispatch({type: 'move', from: q, to: q - 1});
  });
  up.disabled = q === 0;
  var down = button(doc, questionId(q, 'down'), '\u2193', 'Descendre', function () {
    handlers.dispatch({type: 'move', from: q, to: q + 1});
  });
  down.disabled = q === n - 1;
  tools.appendChild(up);
  tools.appendChild(down);
  tools.appendChild(button(doc, questionId(q, 'duplicate'), 'Dupliquer', 'Dupliquer cette question',
    function () { handlers.dispatch({type: 'duplicate', q: q}); }));
  tools.appendChild(button(doc, questionId(q, 'delete'), 'Supprimer', 'Supprimer cette question (Annuler la rend)',
    function () { handlers.dispatch({type: 'delete', q: q}); }));
  head.appendChild(tools);
  item.appendChild(head);
  item.appendChild(element(doc, 'ul', {'class': 'problems question-problems'}));
  app.fields.forEach(function (f) {
    if (f.scope !== 'question' || !fieldShown(app.quiz, app.fields, f)) {
      return;
    }
    if (f.type === 'media') {
      item.appendChild(makeMediaField(doc, app, f, q, handlers));
    } else {
      item.appendChild(makeField(doc, f, questionId(q, f.id), function (field, value) {
        handlers.dispatch({type: 'set', scope: 'question', q: q, key: field.key,
                           index: field.index, value: value}, questionId(q, field.id));
      }));
    }
  });
  item.appendChild(makeTrial(doc, app, q, handlers));
  dragAndDrop(item, q, app, handlers);
  return item;
}

// A question dragged onto another moves there; a file dropped onto a question becomes its
// picture (its clip in an audio or video quiz).
function dragAndDrop(item, q, app, handlers) {
  item.addEventListener('dragstart', function (e) {
    e.dataTransfer.setData('application/x-quizz-question', String(q));
    e.dataTransfer.effectAllowed = 'move';
  });
  item.addEventListener('dragover', function (e) {
    e.preventDefault();
    item.classList.add('drop-target');
  });
  item.addEventListener('dragleave', function () {
    item.classList.remove('drop-target');
  });
  item.addEventListener('drop', function (e) {
    e.preventDefault();
    item.classList.remove('drop-target');
    if (e.dataTransfer.files && e.dataTransfer.files.length > 0) {
      var kind = setting(app.quiz, 'kind', 'text');
      handlers.upload(q, kind === 'picture' ? 'picture' : 'clip', e.dataTransfer.files[0]);
      return;
    }
    var from = parseInt(e.dataTransfer.getData('application/x-quizz-question'), 10);
    if (!isNaN(from)) {
      handlers.dispatch({type: 'move', from: from, to: q});
    }
  });
}

function drawQuestions(doc, app, handlers) {
  var list = doc.getElementById('questions');
  var shape = listShape(app);
  if (shape !== app.shape) {
    app.shape = shape;
    app.questionsDrawn = [];
    list.textContent = '';
    app.quiz.questions.forEach(function (question, q) {
      list.appendChild(makeQuestion(doc, app, q, handlers));
    });
  }
  // Only the questions that changed since they were drawn are drawn again.
  app.quiz.questions.forEach(function (question, q) {
    var drawn = JSON.stringify(question);
    if (app.questionsDrawn[q] === drawn) {
      return;
    }
    app.questionsDrawn[q] = drawn;
    app.fields.forEach(function (f) {
      if (f.scope !== 'question' || !fieldShown(app.quiz, app.fields, f)) {
        return;
      }
      var id = questionId(q, f.id);
      if (f.type !== 'media') {
        showValue(doc, id, f, fieldValue(app.quiz, f, question));
        return;
      }
      var path = question[f.key] || '';
      var name = doc.getElementById(id + '-name');
      name.textContent = path || 'aucun fichier';
      doc.getElementById(id + '-remove').disabled = path === '';
      var view = doc.getElementById(id + '-view');
      if (view) {
        var src = path ? '/api/picture?path=' + encodeURIComponent(path) + '&v=' + app.revision : '';
        if (view.getAttribute('data-path') !== path) {
          view.setAttribute('data-path', path);
          if (src) {
            view.src = src;
          } else {
            view.removeAttribute('src');
          }
        }
        view.hidden = !path;
      }
    });
  });
  var n = app.quiz.questions.length;
  doc.getElementById('question-count').textContent = '(' + n + ' sur 90 au plus)';
  doc.getElementById('add-question').disabled = n >= MAX_QUESTIONS;
}
