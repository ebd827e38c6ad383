/* never linked in */
int unused(void)
{
    return 0;
}
