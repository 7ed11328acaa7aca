// The quiz as the editor holds it (the server's model: settings and questions) and the one
// function that applies a change to it. Pure: a change makes a new quiz, the old one is kept
// whole for undo.

var MAX_QUESTIONS = 90;
var UNDO_DEPTH = 100;

function copyOf(value) {
  return JSON.parse(JSON.stringify(value));
}

function setting(quiz, key, fallback) {
  var v = quiz.settings[key];
  return v === undefined ? fallback : v;
}

function answerCount(quiz) {
  return setting(quiz, 'answers_per_question', 1) === 2 ? 2 : 1;
}

function emptyQuestion(quiz) {
  return {answers: answerCount(quiz) === 2 ? ['', ''] : ['']};
}

// Puts `value` at quiz[scope][key] (or its element `index`), leaving the key out when a
// question's optional text or file becomes empty.
function setValue(target, key, index, value) {
  if (index >= 0) {
    var list = Array.isArray(target[key]) ? target[key].slice() : [];
    while (list.length < index) {
      list.push('');
    }
    list[index] = value;
    target[key] = list;
  } else if (value === '' && key !== 'answers' && !(key in {title: 1, creator: 1, explanation: 1})) {
    delete target[key];
  } else {
    target[key] = value;
  }
}

// change: {type: 'set', scope, q, key, index, value} | {type: 'add'} | {type: 'delete', q}
//       | {type: 'duplicate', q} | {type: 'move', from, to} | {type: 'questions', questions}
// Question numbers q, from and to count from 0.
function applyChange(quiz, change) {
  var next = copyOf(quiz);
  var qs = next.questions;
  switch (change.type) {
    case 'set':
      setValue(change.scope === 'quiz' ? next.settings : qs[change.q], change.key, change.index,
               change.value);
      break;
    case 'add':
      if (qs.length < MAX_QUESTIONS) {
        qs.push(emptyQuestion(next));
      }
      break;
    case 'delete':
      qs.splice(change.q, 1);
      break;
    case 'duplicate':
      if (qs.length < MAX_QUESTIONS) {
        qs.splice(change.q + 1, 0, copyOf(qs[change.q]));
      }
      break;
    case 'move':
      if (change.to >= 0 && change.to < qs.length && change.from !== change.to) {
        var moved = qs.splice(change.from, 1)[0];
        qs.splice(change.to, 0, moved);
      }
      break;
    case 'questions':
      next.questions = copyOf(change.questions).slice(0, MAX_QUESTIONS);
      break;
  }
  return next;
}

// Undo and redo as two lists of whole quizzes. Typing in one field makes one step, not one
// per key: a change to the field changed last, within a few seconds, joins its step.
function makeHistory() {
  return {
    undo: [],
    redo: [],
    lastField: null,
    lastTime: 0,
    record: function (before, field, now) {
      var joins = field !== null && field === this.lastField && now - this.lastTime < 3000;
      if (!joins) {
        this.undo.push(before);
        if (this.undo.length > UNDO_DEPTH) {
          this.undo.shift();
        }
      }
      this.redo = [];
      this.lastField = field;
      this.lastTime = now;
    },
    back: function (current) {
      this.lastField = null;
      if (this.undo.length === 0) {
        return null;
      }
      this.redo.push(current);
      return this.undo.pop();
    },
    forward: function (current) {
      this.lastField = null;
      if (this.redo.length === 0) {
        return null;
      }
      this.undo.push(current);
      return this.redo.pop();
    }
  };
}

// Where a problem of the check belongs: the field row and question of its description key
// ("title", "labels[2]", "codes[3]", "question[4].answers", "question[4]"). Null for a
// problem of the whole quiz.
function placeOfKey(fields, key) {
  var m = /^question\[(\d+)\](?:\.([a-z_0-9]+))?/.exec(key);
  var scope = 'quiz';
  var q = -1;
  var name = key;
  var index = -1;
  if (m) {
    scope = 'question';
    q = parseInt(m[1], 10) - 1;
    name = m[2] || '';
    if (name === 'answer2') {
      name = 'answers';
      index = 1;
    } else if (name === 'answer') {
      name = 'answers';
      index = 0;
    }
  } else {
    var indexed = /^([a-z_.]+)\[(\d+)\]$/.exec(key);
    if (indexed) {
      name = indexed[1];
      index = parseInt(indexed[2], 10) - 1;
    }
  }
  if (scope === 'question' && name === '') {
    return {q: q, field: null};
  }
  var found = null;
  fields.forEach(function (f) {
    if (f.scope === scope && f.key === name && (found === null || f.index === index)) {
      found = f;
    }
  });
  return found ? {q: q, field: found} : null;
}

// Whether a field is shown with these settings: "kind=picture;reveal=text|all-texts".
function fieldShown(quiz, fields, field) {
  if (!field.shownWhen) {
    return true;
  }
  return field.shownWhen.split(';').every(function (condition) {
    var parts = condition.split('=');
    var key = parts[0];
    var row = fields.filter(function (f) { return f.scope === 'quiz' && f.key === key; })[0];
    var value = String(setting(quiz, key, row ? row.fallback : ''));
    return parts[1].split('|').indexOf(value) >= 0;
  });
}
