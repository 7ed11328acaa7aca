// Board layout formulas, in pixels of board content. Pure functions, shared by the board,
// the reveals and the shell.
#pragma once

// Two answers stack their fields (41 pixels), so their rows are twice as far apart.
inline int textRowSpacing(int answersPerQuestion) {
    return answersPerQuestion == 2 ? 50 : 25;
}
inline int textRowY(int q, int answersPerQuestion) {
    return textRowSpacing(answersPerQuestion) * (q - 1) + 10;
}
inline int textRowY(int q) {
    return textRowY(q, 1);
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
