  startStudio(window, document);
})();
