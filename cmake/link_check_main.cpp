// The program a library is linked into on its own, to prove it needs nothing above its layer.
int main() {
    return 0;
}
