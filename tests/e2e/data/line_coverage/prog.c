/* e2e line coverage */
int clip(int x)
{
    if (x > 100) x = 100;
    return x;
}

int never(int x)
{
    if (x < 0) x = -x;
    return x;
}

int main(void)
{
    int i, s = 0;
    for (i = 0; i < 1234567; i++) s += i & 1;
    for (i = 0; i < 5; i++) s += clip(i);
    return 0;
}