// The studio's editor: one function scope from this prologue to the epilogue, so that
// nothing of it lands on the page's global object but what main.js puts there on purpose.
(function () {
  'use strict';
