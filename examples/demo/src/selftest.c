/* Self-test of the grading rules, kept out of the coverage report by the
 * component file (demo.comp). */
#include "demo.h"

int selftest(void)
{
    int errors = 0;

    if (letter_grade(95) != 'A')
        errors++;
    if (letter_grade(45) != 'F')
        errors++;
    if (!passed(50))
        errors++;
    return errors;
}
