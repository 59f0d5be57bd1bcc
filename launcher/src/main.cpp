// main.cpp -- the program Kestrove: no arguments, files from the current directory.
#include "Kestrove.h"

int main() { return KestroveMain(); }
