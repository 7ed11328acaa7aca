startQuizPage(window, document);
})();
