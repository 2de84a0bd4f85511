// Entry point of the layer checks: each links one whole library against only
// the libraries below it, so any call into a layer above stays unresolved.
int main() { return 0; }
