#include <cstdio>

int main() {
    std::puts("vantorctl");
    return 0;
}
