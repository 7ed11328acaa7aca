// The quiz and its files as the exporter wrote them into the page: a JSON block of texts
// and numbers, and one block of bytes carried as text, seven bits a character, with NUL,
// CR, "<" and the escape "!" written as "!" and a capital letter (A, B, C, D).
var ESCAPED_SEVEN_BITS = [0x00, 0x0d, 0x3c, 0x21];

function decodeScriptBytes(text, length) {
  var out = new Uint8Array(length);
  var acc = 0;
  var bits = 0;
  var o = 0;
  for (var i = 0; i < text.length && o < length; i++) {
    var v = text.charCodeAt(i);
    if (v === 0x21) {
      v = ESCAPED_SEVEN_BITS[text.charCodeAt(++i) - 0x41];
    }
    acc = (acc << 7) | v;
    bits += 7;
    if (bits >= 8) {
      bits -= 8;
      out[o++] = (acc >> bits) & 0xff;
      acc &= (1 << bits) - 1;
    }
  }
  return out;
}

// The bytes of one embedded file: [offset, length] or [offset, length, mime].
function embeddedBytes(all, entry) {
  return all.subarray(entry[0], entry[0] + entry[1]);
}
