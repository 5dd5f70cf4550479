#include <cstdio>

int main()
{
    std::puts("Vireo demo: nothing to show yet.");
    return 0;
}
