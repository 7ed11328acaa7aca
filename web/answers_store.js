// The typed answers, kept in the browser's localStorage under a key that names this quiz's
// content. Where the browser gives no storage the page still plays; it says so once.
//
// Two tabs of one quiz share the record. Each answer carries the time it was last typed,
// and every save merges field by field, the newer answer winning, so neither a save nor a
// reload of an older tab writes an old answer over a newer one. A record is
// {version: 2, answers: [text...], times: [ms...]}; one of version 1 has no times, so any
// answer typed since is newer.
var STORE_VERSION = 2;

function emptyRecord() {
  return {answers: [], times: []};
}

function readRecord(text) {
  var record = emptyRecord();
  try {
    var saved = JSON.parse(text || 'null');
    if (saved && Array.isArray(saved.answers)) {
      var times = Array.isArray(saved.times) ? saved.times : [];
      saved.answers.forEach(function (a, i) {
        record.answers[i] = typeof a === 'string' ? a : '';
        record.times[i] = typeof times[i] === 'number' && isFinite(times[i]) ? times[i] : 0;
      });
    }
  } catch (e) {
    // Unreadable: start with empty fields, as the player does without its file.
  }
  return record;
}

// Field by field, the newer of the two. A tie keeps the stored one: it is the same answer,
// or (both untimed) a field this tab has not touched.
function mergeRecords(mine, theirs) {
  var merged = emptyRecord();
  var count = Math.max(mine.answers.length, theirs.answers.length);
  for (var i = 0; i < count; i++) {
    var own = i < mine.answers.length;
    var other = i < theirs.answers.length;
    var useTheirs = other && (!own || theirs.times[i] >= mine.times[i]);
    merged.answers[i] = useTheirs ? theirs.answers[i] : mine.answers[i];
    merged.times[i] = useTheirs ? theirs.times[i] : mine.times[i];
  }
  return merged;
}

function openAnswersStore(win, key) {
  var storage = null;
  try {
    storage = win.localStorage;
    var probe = key + ':probe';
    storage.setItem(probe, '1');
    storage.removeItem(probe);
  } catch (e) {
    storage = null;
  }
  function stored() {
    try {
      return readRecord(storage.getItem(key));
    } catch (e) {
      return emptyRecord();
    }
  }
  var store = {
    available: storage !== null,
    onFailure: null,
    load: function () {
      return storage === null ? emptyRecord() : stored();
    },
    // Saves this tab's record merged with the stored one; returns what was saved, which
    // holds the other tabs' newer answers too.
    save: function (record) {
      if (storage === null) {
        return record;
      }
      var merged = mergeRecords(record, stored());
      try {
        storage.setItem(key, JSON.stringify(
            {version: STORE_VERSION, answers: merged.answers, times: merged.times}));
      } catch (e) {
        storage = null;
        store.available = false;
        if (store.onFailure) {
          store.onFailure();
        }
      }
      return merged;
    },
    // `callback(record)` whenever another tab saves this quiz's answers.
    onOtherTabSaved: function (callback) {
      win.addEventListener('storage', function (e) {
        if (storage !== null && e.key === key && e.newValue !== null) {
          callback(readRecord(e.newValue));
        }
      });
    }
  };
  return store;
}
