#include <cstdio>

int main() {
    std::puts("gallery: nothing to show yet");
    return 0;
}
