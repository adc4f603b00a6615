#include "app/valimo.h"

int main() { WinMain(); }
