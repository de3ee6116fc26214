// Stands in for the command interpreter when the tool's closing "pause" runs under a test:
// it accepts "/c pause", prints nothing and returns at once.
int main()
{
    return 0;
}
