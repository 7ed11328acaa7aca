// Windows-1252, the player's character set: every text it holds is one byte a character.
// The bytes 0x80 to 0x9F are the only ones that are not Latin-1; the five it leaves
// undefined stand for the C1 controls of the same value, as Windows maps them.
var CP1252_HIGH = [
  0x20ac, 0x81, 0x201a, 0x192, 0x201e, 0x2026, 0x2020, 0x2021, 0x2c6, 0x2030, 0x160, 0x2039,
  0x152, 0x8d, 0x17d, 0x8f, 0x90, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022, 0x2013, 0x2014,
  0x2dc, 0x2122, 0x161, 0x203a, 0x153, 0x9d, 0x17e, 0x178
];

var CP1252_BYTE_OF = (function () {
  var byteOf = new Map();
  for (var b = 0; b < 256; b++) {
    byteOf.set(b >= 0x80 && b < 0xa0 ? CP1252_HIGH[b - 0x80] : b, b);
  }
  return byteOf;
})();

var UNKNOWN_CHARACTER = 0x3f; // "?", what an ANSI edit control keeps of a character it lacks

// Writes at most `limit` bytes of `text` into `bytes` and returns how many it wrote.
function encodeCp1252Into(text, bytes, limit) {
  var n = 0;
  for (var ch of text) {
    if (n >= limit) {
      break;
    }
    var b = CP1252_BYTE_OF.get(ch.codePointAt(0));
    bytes[n++] = b === undefined ? UNKNOWN_CHARACTER : b;
  }
  return n;
}

function decodeCp1252(bytes) {
  var s = '';
  for (var i = 0; i < bytes.length; i++) {
    var b = bytes[i];
    s += String.fromCharCode(b >= 0x80 && b < 0xa0 ? CP1252_HIGH[b - 0x80] : b);
  }
  return s;
}

// The text as the player's field would hold it: each character Windows-1252 lacks is "?".
function holdableText(text) {
  var out = '';
  var changed = false;
  for (var ch of text) {
    if (CP1252_BYTE_OF.has(ch.codePointAt(0))) {
      out += ch;
    } else {
      out += '?';
      changed = true;
    }
  }
  return changed ? out : text;
}
