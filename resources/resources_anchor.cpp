// The resource library's one source file: the images themselves are compiled
// in by Qt's resource compiler and found under ":/images/".
