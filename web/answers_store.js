// The typed answers, kept in the browser's localStorage under a key that names this quiz's
// content. Where the browser gives no storage the page still plays; it says so once.
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
  var store = {
    available: storage !== null,
    onFailure: null,
    load: function () {
      if (storage === null) {
        return [];
      }
      try {
        var saved = JSON.parse(storage.getItem(key) || 'null');
        if (saved && Array.isArray(saved.answers)) {
          return saved.answers.map(function (a) { return typeof a === 'string' ? a : ''; });
        }
      } catch (e) {
        // Unreadable: start with empty fields, as the player does without its file.
      }
      return [];
    },
    save: function (answers) {
      if (storage === null) {
        return;
      }
      try {
        storage.setItem(key, JSON.stringify({version: 1, answers: answers}));
      } catch (e) {
        storage = null;
        store.available = false;
        if (store.onFailure) {
          store.onFailure();
        }
      }
    }
  };
  return store;
}
