// Gives the shared precompiled header of the tests a program to hang from.
int main() { return 0; }
