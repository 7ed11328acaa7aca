// Board layout formulas, in pixels of board content. Pure functions, shared by the board,
// the reveals and the shell.
#pragma once

inline int textRowY(int q) {
    return 25 * q - 15;
}
inline int audioRowY(int q) {
    return ((q - 1) / 3) * 80 + 20;
}
inline int columnX(int q, int answersPerQuestion) {
    return ((q - 1) % 3) * 290 + (answersPerQuestion == 2 ? 90 : 0);
}
inline int pictureRowY(int q, int revealMode) {
    return ((q - 1) / 3) * (revealMode == 2 || revealMode == 3 ? 390 : 330) + 280;
}
