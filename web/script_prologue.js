(function () {
'use strict';
