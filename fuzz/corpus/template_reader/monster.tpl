Group
{
	name = "All Groups"
	type = "list"

	Variable
	{
		name = "Include File"
		class = "variable"
		type = "include"
		description = ""
		value = ""
		defaultValue = "%TEMPLATE_DIR%Database\Templates\creature.tpl"
	}

	Group
	{
		name = "Header"
		type = "system"

		Variable
		{
			name = "ActorName"
			class = "variable"
			type = "string"
			description = "Name shown in the editor"
			value = ""
			defaultValue = ""
		}

		Variable
		{
			name = "Class"
			class = "static"
			type = "string"
			description = "Engine class of the record"
			value = ""
			defaultValue = "Monster"
		}

		Variable
		{
			name = "FileDescription"
			class = "variable"
			type = "string"
			description = "What this record is for"
			value = ""
			defaultValue = ""
		}

	}

	Group
	{
		name = "Stats"
		type = "list"

		Variable
		{
			name = "aggroRange"
			class = "variable"
			type = "real"
			description = "Metres"
			value = ""
			defaultValue = "12"
		}

		Variable
		{
			name = "boss"
			class = "variable"
			type = "bool"
			description = "A boss monster"
			value = ""
			defaultValue = "0"
		}

	}

}

