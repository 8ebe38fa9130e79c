// STUB: replaced by qn-capture's entry point.
int main() { return 0; }
