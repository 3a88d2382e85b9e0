// The companion set-up program. Placeholder until it lands.
int main() { return 0; }
