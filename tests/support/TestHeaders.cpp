// The host of the precompiled test headers; never run.
int main()
{
    return 0;
}
