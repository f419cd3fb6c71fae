// The splash fade, the title step and the score screen.
#pragma once

// Blocks for the whole splash (over 4.5 s), then goes to the title.
void SplashScreen();
// Slides the title banner one column, turning at offsets 0 and 40; A newly pressed starts a run.
void TitleAdvance();
// The title step without the banner; text is not used.
void TitleScreen(const char* text);
// One pass of the score screen; A newly pressed starts over at the title.
void ScoreScreen();
