int unused(int v)
{
  return v + 1;
}
