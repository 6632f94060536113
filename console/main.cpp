// hopwatch-console: runs one test on a host and prints what the route looks like.
#include <cstdio>

#ifdef _WIN32
int wmain(int, wchar_t**) {
#else
int main() {
#endif
    std::puts("hopwatch-console: not yet able to probe");
    return 0;
}
