// The form's fields, made from the field table the server sends with the page: one element
// per row, named by the row's id (a question's: "question-N-" + id). Views never write the
// quiz: an edit becomes a change handed to dispatch.

var LABEL_SUFFIX = ' :';

function fieldValue(quiz, field, question) {
  var source = field.scope === 'quiz' ? quiz.settings : question;
  var v = source[field.key];
  if (field.index >= 0) {
    v = Array.isArray(v) ? v[field.index] : undefined;
  }
  if (v === undefined || v === null) {
    return field.type === 'lines' ? '' : String(field.fallback);
  }
  if (field.type === 'lines') {
    return v.join('\n');
  }
  return String(v);
}

// What the model holds for what the element shows.
function modelValue(field, shown) {
  if (field.type === 'number') {
    return parseInt(shown, 10);
  }
  if (field.type === 'lines') {
    return shown === '' ? [] : shown.split('\n');
  }
  return shown;
}

function element(doc, tag, attributes, text) {
  var e = doc.createElement(tag);
  Object.keys(attributes || {}).forEach(function (k) {
    e.setAttribute(k, attributes[k]);
  });
  if (text !== undefined) {
    e.textContent = text;
  }
  return e;
}

// One field: its label, its input and the place for its problems. `id` is the element's id;
// `onEdit(field, value)` is called with the model's value after each edit.
function makeField(doc, field, id, onEdit) {
  var box = element(doc, 'div', {'class': 'field field-' + field.type, 'data-field': field.id});
  box.appendChild(element(doc, 'label', {'for': id}, field.label + LABEL_SUFFIX));
  var input;
  if (field.type === 'choice' || field.type === 'number') {
    input = element(doc, 'select', {id: id});
    field.choices.forEach(function (c) {
      input.appendChild(element(doc, 'option', {value: c.value}, c.label));
    });
  } else if (field.type === 'long-text' || field.type === 'lines') {
    input = element(doc, 'textarea', {id: id, rows: field.type === 'lines' ? '4' : '2'});
  } else if (field.type === 'colour') {
    var row = element(doc, 'span', {'class': 'colour'});
    input = element(doc, 'input', {id: id, type: 'text', maxlength: '7', spellcheck: 'false'});
    var picker = element(doc, 'input', {id: id + '-picker', type: 'color', title: field.label});
    picker.addEventListener('input', function () {
      onEdit(field, picker.value.toUpperCase());
    });
    row.appendChild(input);
    row.appendChild(picker);
    box.appendChild(row);
  } else {
    input = element(doc, 'input', {id: id, type: 'text', spellcheck: 'true'});
  }
  input.addEventListener(input.tagName === 'SELECT' ? 'change' : 'input', function () {
    onEdit(field, modelValue(field, input.value));
  });
  if (field.type !== 'colour') {
    box.appendChild(input);
  }
  if (field.type === 'lines') {
    box.appendChild(element(doc, 'p', {'class': 'count', id: id + '-count'}));
  }
  box.appendChild(element(doc, 'ul', {'class': 'problems'}));
  return box;
}

// Shows `value` in the field's element unless it shows it already (the caret stays put).
function showValue(doc, id, field, value) {
  var input = doc.getElementById(id);
  if (input && input.value !== value) {
    input.value = value;
  }
  if (field.type === 'colour') {
    var picker = doc.getElementById(id + '-picker');
    if (picker && /^#[0-9A-Fa-f]{6}$/.test(value) && picker.value.toUpperCase() !== value.toUpperCase()) {
      picker.value = value.toLowerCase();
    }
  }
}

function buildSettings(doc, app, dispatch) {
  var settings = doc.getElementById('settings');
  settings.textContent = '';
  app.fields.filter(function (f) { return f.scope === 'quiz'; }).forEach(function (f) {
    settings.appendChild(makeField(doc, f, f.id, function (field, value) {
      dispatch({type: 'set', scope: 'quiz', key: field.key, index: field.index, value: value},
               field.id);
    }));
  });
}

function drawSettings(doc, app) {
  app.fields.filter(function (f) { return f.scope === 'quiz'; }).forEach(function (f) {
    showValue(doc, f.id, f, fieldValue(app.quiz, f, null));
    var box = doc.querySelector('#settings [data-field="' + f.id + '"]');
    box.hidden = !fieldShown(app.quiz, app.fields, f);
  });
  var codes = (app.quiz.settings.codes || []).length;
  var count = doc.getElementById('quiz-codes-count');
  if (count) {
    count.textContent = codes + ' code' + (codes > 1 ? 's' : '') + ' pour ' +
        app.quiz.questions.length + ' question' + (app.quiz.questions.length > 1 ? 's' : '');
  }
}
