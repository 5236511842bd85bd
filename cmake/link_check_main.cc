// The program of a library's link check (cmake/Programs.cmake): it calls
// nothing; linking the whole library into it is the check.
int main() { return 0; }
