// Talking to the studio's server: every request carries the studio's own header (its proof
// that it comes from this page), and saving keeps one request under way at a time, sending
// the latest quiz when it returns.

var SAVE_TEXTS = {
  saved: 'Enregistr\u00e9',
  pending: 'Enregistrement\u2026',
  conflict: 'Non enregistr\u00e9 : le quiz a chang\u00e9 ailleurs',
  failed: 'Non enregistr\u00e9 : le studio ne r\u00e9pond pas, nouvel essai\u2026'
};

// Resolves with {status, body} (body: the parsed JSON, or {} when there is none).
function request(method, path, body) {
  var options = {method: method, headers: {'X-Quizz-Studio': '1'}, credentials: 'same-origin'};
  if (body instanceof FormData) {
    options.body = body;
  } else if (body !== undefined) {
    options.headers['Content-Type'] = 'application/json';
    options.body = JSON.stringify(body);
  }
  return fetch(path, options).then(function (response) {
    return response.text().then(function (text) {
      var parsed = {};
      try {
        parsed = text ? JSON.parse(text) : {};
      } catch (e) {
        parsed = {};
      }
      return {status: response.status, body: parsed};
    });
  });
}

// The saver: save() asks for the current quiz to be written; onSaved and onConflict report.
function makeSaver(app, handlers) {
  var inFlight = false;
  var again = false;
  var retry = null;
  var saver = {
    dirtySince: null, // performance.now() of the first change not yet saved
    idle: function () { return !inFlight && !again && saver.dirtySince === null; },
    save: function (force) {
      if (saver.dirtySince === null) {
        saver.dirtySince = performance.now();
      }
      if (inFlight) {
        again = true;
        return;
      }
      send(force === true);
    },
    // Resolves once everything typed so far is on disk (or could not be).
    flushed: function () {
      return new Promise(function (resolve) {
        (function wait() {
          if (saver.idle() || app.saveState === 'conflict') {
            resolve();
          } else {
            setTimeout(wait, 30);
          }
        })();
      });
    }
  };
  function send(force) {
    inFlight = true;
    again = false;
    var since = saver.dirtySince;
    saver.dirtySince = null;
    handlers.state('pending');
    request('PUT', '/api/quiz', {revision: app.revision, quiz: app.quiz, force: force})
      .then(function (reply) {
        inFlight = false;
        if (reply.status === 200) {
          handlers.saved(reply.body, since);
        } else if (reply.status === 409 && reply.body.conflict) {
          saver.dirtySince = since;
          handlers.conflict(reply.body);
          return;
        } else {
          handlers.refused(reply.body.error || ('HTTP ' + reply.status));
        }
        if (again || saver.dirtySince !== null) {
          send(false);
        } else {
          handlers.state('saved');
        }
      }, function () {
        inFlight = false;
        saver.dirtySince = since;
        handlers.state('failed');
        clearTimeout(retry);
        retry = setTimeout(function () { saver.save(); }, 2000);
      });
  }
  return saver;
}
